// The overlay: competitor 1's running total and last lap with its number and difference.

import { LiveRun } from "/live-client.js";
import { showLastLap, tickTotal } from "/figures.js";

tickTotal(new LiveRun({ snapshot: showLastLap, event: showLastLap }));

#include "AppFixture.h"
#include "DesktopCommand.h"
#include "Shortcut.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QRegularExpression>

using kelvos::DesktopCommand;

namespace {

// The ways an operator gives a run command.
enum class Road {
    Button, // a click on the command's button
    Key,    // Enter on the control that has the focus
    Hotkey, // the command's hotkey, pressed in another program
    Send,   // `kelvos --send`
};

struct Route {
    DesktopCommand command;
    const char* button;
    int hotkey; // index of its hotkey editor
};
constexpr Route kRoutes[] = {
    {DesktopCommand::Start, "start", 1},
    {DesktopCommand::Stop, "stop", 2},
    {DesktopCommand::Restart, "CuteButton1", 3},
    {DesktopCommand::Reset, "CuteButton2", 4},
    {DesktopCommand::Lap1, "LAP", 5},
    {DesktopCommand::Lap2, "LAP2", 6},
};

const Route& routeOf(DesktopCommand command) {
    return *std::find_if(std::begin(kRoutes), std::end(kRoutes),
                         [command](const Route& r) { return r.command == command; });
}

void give(AppFixture& app, DesktopCommand command, Road road) {
    const Route& route = routeOf(command);
    switch (road) {
    case Road::Button:
        QTest::mouseClick(app.control<QAbstractButton>(route.button), Qt::LeftButton);
        break;
    case Road::Key:
        QTest::keyClick(app.window->focusWidget(), Qt::Key_Return);
        break;
    case Road::Hotkey:
        app.hotkeys.press(kelvos::defaultHotkeys[route.hotkey - 1]);
        break;
    case Road::Send:
        app.window->takeCommand(command, app.clock.now());
        break;
    }
}

// Rows of a grid that hold any text, the header not counted.
int filledRows(const kelvos::TextGrid& grid) {
    int filled = 0;
    for (int row = 1; row < grid.rowCount(); ++row)
        filled += grid.rowCommaText(row).contains(QRegularExpression("[^,]")) ? 1 : 0;
    return filled;
}

// What the window shows of the run: whether the total moves on, the total, and how many rows
// the Main grid and the Mix grid fill.
QString view(bool runs, const QString& total, int mainRows, int mixRows) {
    return QString("%1 %2, Main %3, Mix %4")
        .arg(runs ? "running" : "halted", total)
        .arg(mainRows)
        .arg(mixRows);
}

QString viewOf(AppFixture& app) {
    app.advance(0);
    const QString total = app.text("Label1").trimmed();
    app.advance(1000);
    const bool runs = app.text("Label1").trimmed() != total;
    return view(runs, total, filledRows(*app.control<TStringGridEx>("StringGridEx1")),
                filledRows(*app.control<TStrSortGrid>("StrSortGrid1")));
}

// Three rows loaded into the Main grid from a file, as "LoadCsv" does.
void loadMainGrid(AppFixture& app) {
    const QString file = app.workingDirectory.filePath("laps.csv");
    testfiles::writeContents(file, "1,A\r\n2,A\r\n3,A\r\n");
    app.chooseFile = [file](const QString&, const QString&, bool) { return file; };
    app.click("CuteButton20");
}

// A state the operator meets, and the presses that lead there (AppFixture::play).
struct State {
    const char* name;
    const char* presses;
};
constexpr State kShown{"shown", ""};
constexpr State kRunning{"running", "N1"};            // one lap taken at 1 s
constexpr State kStopped{"stopped", "N1S"};           // at 2 s
constexpr State kRestarted{"restarted", "N1SR"};      // the pause after the stop is not counted
constexpr State kCleared{"cleared", "N1SC"};          // the first reset keeps the stopped total
constexpr State kPlus1Lap{"after Plus1Lap", "N1SP"};  // a second lap, ending at the stopped total
constexpr State kMainLoaded{"Main grid loaded", "L"}; // "L": loadMainGrid()

using C = DesktopCommand;
constexpr C kStart = C::Start, kStop = C::Stop, kRestart = C::Restart, kReset = C::Reset,
            kLap1 = C::Lap1, kLap2 = C::Lap2;
constexpr std::initializer_list<Road> kEveryRoad = {Road::Button, Road::Hotkey, Road::Send};

void rows(const State& state, DesktopCommand command, std::initializer_list<Road> roads,
          const QString& shown) {
    static const char* const roadNames[] = {"button", "Enter", "hotkey", "--send"};
    for (Road road : roads)
        QTest::addRow("%s: %s by %s", state.name, qPrintable(kelvos::commandName(command)),
                      roadNames[int(road)])
            << QByteArray(state.presses) << command << road << shown;
}

} // namespace

Q_DECLARE_METATYPE(DesktopCommand)
Q_DECLARE_METATYPE(Road)

// What each state lets the operator do, tried through every road a command takes and judged
// by what the window shows.
class TestCommandsByState : public QObject {
    Q_OBJECT
private slots:
    void commandsInEachState_data() {
        QTest::addColumn<QByteArray>("presses");
        QTest::addColumn<DesktopCommand>("command");
        QTest::addColumn<Road>("road");
        QTest::addColumn<QString>("shown");
        // Just shown: only start, and reset by its button, which clears the Mix grid's note.
        const QString shown = view(false, "00:00:00:000", 0, 23);
        const QString newRun = view(true, "00:00:00:000", 0, 0);
        rows(kShown, kStart, kEveryRoad, newRun);
        rows(kShown, kStart, {Road::Key}, newRun);
        rows(kShown, kReset, {Road::Button, Road::Send}, view(false, "00:00:00:000", 0, 0));
        rows(kShown, kReset, {Road::Hotkey}, shown);
        for (C command : {kStop, kRestart, kLap1, kLap2})
            rows(kShown, command, kEveryRoad, shown);

        // Running, and restarted after a stop: laps and stop, nothing else.
        for (const auto& [state, total] :
             {std::pair{kRunning, "00:00:01:000"}, std::pair{kRestarted, "00:00:02:000"}}) {
            rows(state, kLap1, kEveryRoad, view(true, total, 2, 2));
            rows(state, kLap1, {Road::Key}, view(true, total, 2, 2));
            rows(state, kLap2, kEveryRoad, view(true, total, 1, 2));
            rows(state, kStop, kEveryRoad, view(false, total, 1, 1));
            for (C command : {kStart, kRestart, kReset})
                rows(state, command, kEveryRoad, view(true, total, 1, 1));
        }

        // Stopped, also after "Plus1Lap": start anew, restart, or clear the results but keep
        // the total.
        for (const auto& [state, laps] : {std::pair{kStopped, 1}, std::pair{kPlus1Lap, 2}}) {
            rows(state, kStart, kEveryRoad, newRun);
            rows(state, kStart, {Road::Key}, newRun);
            rows(state, kRestart, kEveryRoad, view(true, "00:00:02:000", laps, laps));
            rows(state, kReset, kEveryRoad, view(false, "00:00:02:000", 0, 0));
            for (C command : {kStop, kLap1, kLap2})
                rows(state, command, kEveryRoad, view(false, "00:00:02:000", laps, laps));
        }

        // Cleared: start, or reset again, which zeroes the watch.
        rows(kCleared, kStart, kEveryRoad, newRun);
        rows(kCleared, kStart, {Road::Key}, newRun);
        rows(kCleared, kReset, kEveryRoad, view(false, "00:00:00:000", 0, 0));
        for (C command : {kStop, kRestart, kLap1, kLap2})
            rows(kCleared, command, kEveryRoad, view(false, "00:00:02:000", 0, 0));

        // After a Main grid load the start hotkey is off; the loaded rows stay until a reset.
        const QString loaded = view(false, "00:00:00:000", 3, 0);
        rows(kMainLoaded, kStart, {Road::Button, Road::Key, Road::Send},
             view(true, "00:00:00:000", 3, 0));
        rows(kMainLoaded, kStart, {Road::Hotkey}, loaded);
        rows(kMainLoaded, kReset, {Road::Button, Road::Send}, view(false, "00:00:00:000", 0, 0));
        rows(kMainLoaded, kReset, {Road::Hotkey}, loaded);
        for (C command : {kStop, kRestart, kLap1, kLap2})
            rows(kMainLoaded, command, kEveryRoad, loaded);
    }
    void commandsInEachState() {
        QFETCH(QByteArray, presses);
        QFETCH(DesktopCommand, command);
        QFETCH(Road, road);
        AppFixture app;
        if (presses == kMainLoaded.presses)
            loadMainGrid(app);
        else
            app.play(QString::fromLatin1(presses));
        give(app, command, road);
        QTEST(viewOf(app), "shown");
    }
};

QTEST_MAIN(TestCommandsByState)
#include "tst_commands_by_state.moc"

#pragma once

#include <QString>

class QWidget;

// Puts content back into its dock site, filling it, or lets it float as a tool window of its own
// where it stood, under the title given.
void setDocked(QWidget* content, QWidget* site, bool docked, const QString& title);

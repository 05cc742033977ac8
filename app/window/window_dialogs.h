// The window's dialogs never stop the instrument: each is window-modal and
// asynchronous (opened, not executed in an event loop of its own), so the
// passes, the tick and the lamp go on behind it, and its answer arrives as a
// call once the user gives it.
#pragma once

#include <QString>
#include <functional>

class QWidget;

enum class FileDialogKind { Open, Save };

// Asks for a file; `chosen` is called with its path, not at all when the
// dialog is cancelled. `name` is the file name offered for saving.
void ask_for_file(QWidget* owner, FileDialogKind kind, const QString& title, const QString& name,
                  const QString& filter, std::function<void(const QString&)> chosen);

// Every failed save or load is told the same way: a warning box with the
// whole reason, over the window it came from.
void show_failure(QWidget* owner, const QString& title, const QString& text);

#pragma once

#include "app/QtDialogPort.h"
#include "processing/JobPreview.h"

#include <QDialog>

struct AppState;
class DialogPort;
class QPlainTextEdit;

// "Preview": what FINISH would do, its summary above every line of the list. Nothing here touches
// the collection; "Save List..." writes the text where the user says.
class TFormPreview final : public QDialog {
public:
    TFormPreview(JobPreview preview, const QString& programFolder, QWidget* mainWindow);

private:
    JobPreview m_preview;
    QString m_programFolder;
    QtDialogPort m_port;  // the save dialog and its message open in front of this window, not behind it
    QPlainTextEdit* m_list;
};

// The Finish page's "Preview": works the job out under the busy pointer, then shows the message
// FINISH would refuse with, or the preview window over the main window. The window is modal to the
// main window, so the Work List and the choices cannot change under it; it deletes itself on close.
void showJobPreview(const AppState& state, DialogPort& port, QWidget* mainWindow);

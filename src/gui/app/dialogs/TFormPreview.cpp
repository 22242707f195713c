#include "TFormPreview.h"

#include "app/AppState.h"
#include "app/pages/Widgets.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;
constexpr int kSummaryLinesShown = 8;  // more scroll

}  // namespace

TFormPreview::TFormPreview(JobPreview preview, const QString& programFolder, QWidget* mainWindow)
    : QDialog(mainWindow), m_preview(std::move(preview)), m_programFolder(programFolder), m_port(this) {
    setObjectName(QStringLiteral("FormPreview"));
    setWindowTitle(QStringLiteral("Preview: ") + ActionName(m_preview.operation).trimmed());
    setWindowModality(Qt::WindowModal);
    // The last job's log window stays on top while it is up: this window must not open behind it.
    const QWidget* log = mainWindow ? mainWindow->findChild<QWidget*>(QStringLiteral("FormLog")) : nullptr;
    setWindowFlag(Qt::WindowStaysOnTopHint, log && log->isVisible());
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    QLabel* summaryTitle = makeLabel(QStringLiteral("LabelSummary"), QStringLiteral("Summary"), this);
    setBold(summaryTitle, true);
    layout->addWidget(summaryTitle);
    // A rich text box lays out its whole (short) text, so its height can follow the wrapped lines:
    // all of them up to a few, then it scrolls and the list below keeps the rest of the window.
    auto* summaryBox = new QTextEdit(this);
    summaryBox->setObjectName(QStringLiteral("PreviewSummary"));
    summaryBox->setReadOnly(true);
    summaryBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    summaryBox->setPlainText(previewSummary(m_preview).join(u'\n'));
    const int tallest = summaryBox->fontMetrics().lineSpacing() * kSummaryLinesShown +
                        2 * int(summaryBox->document()->documentMargin());
    const auto fitSummary = [summaryBox, tallest](const QSizeF& size) {
        summaryBox->setFixedHeight(std::min(int(std::ceil(size.height())), tallest) +
                                   2 * summaryBox->frameWidth());
    };
    connect(summaryBox->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            fitSummary);
    fitSummary(summaryBox->document()->size());
    layout->addWidget(summaryBox);

    QLabel* listTitle =
        makeLabel(QStringLiteral("LabelPreviewList"),
                  QStringLiteral("Files, folders and archive entries: %1").arg(m_preview.lines.size()), this);
    setBold(listTitle, true);
    layout->addWidget(listTitle);
    m_list = new QPlainTextEdit(this);
    m_list->setObjectName(QStringLiteral("PreviewList"));
    m_list->setReadOnly(true);
    m_list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_list->setUndoRedoEnabled(false);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);  // one path a row; wrapping tens of thousands is slow
    QStringList lines;
    lines.reserve(m_preview.lines.size());
    for (const PreviewLine& line : m_preview.lines) {
        lines.append(previewLineText(line, m_preview.toTrash));
    }
    m_list->setPlainText(lines.join(u'\n'));  // once: a block at a time would take seconds
    layout->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* save = makeButton(QStringLiteral("ButtonSaveList"), QStringLiteral("Save List..."), this,
                                   QStringLiteral("Save this list to a text file"));
    QPushButton* close = makeButton(QStringLiteral("ButtonClose"), QStringLiteral("Close"), this,
                                    QStringLiteral("Close this window"));
    save->setAutoDefault(false);
    close->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] {
        SavePreviewList(m_preview, m_port, m_programFolder);
        m_list->setFocus();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    setMinimumSize(420, 300);
    QSize size(kWidth, kHeight);
    if (const QScreen* screen = mainWindow ? mainWindow->screen() : this->screen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10).expandedTo(minimumSize());
    }
    resize(size);
    if (mainWindow) {
        move(mainWindow->frameGeometry().center() - rect().center());
    }
    m_list->setFocus();  // the keys scroll the list at once; Escape and Enter close
}

void showJobPreview(const AppState& state, DialogPort& port, QWidget* mainWindow) {
    port.setBusyPointer(true);
    JobPreview preview =
        PreviewJob(state.gamesPage.WorkList, state.setup, state.emulator.folders, state.texts.neededSets);
    port.setBusyPointer(false);
    if (preview.refusal) {
        port.showMessage(preview.refusal->caption, preview.refusal->text,
                         preview.refusal->icon);  // FINISH's box
        return;
    }
    auto* window = new TFormPreview(std::move(preview), state.setup.ProgramFolder, mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

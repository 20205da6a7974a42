#include "gui/MRV_MainFrame.h"

#include "gui/MRV_DetailFormDlg.h"
#include "gui/MRV_Dialog.h"
#include "gui/MRV_GUIManager.h"
#include "gui/MRV_TreeFormDlg.h"
#include "tsframework/CTSBSTR.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {

// The popups and their commands, in order; 0 is a separator.
struct Popup {
    quint32 id;
    QList<quint32> commands;
};
const QList<Popup>& popups() {
    static const QList<Popup> list = {
        {500, {506, 507, 508, 0, 509, 510, 511, 0, 531, 512, 0, 513, 0, 514, 515, 0, 516}},
        {501, {520, 0, 527, 528, 529, 530, 0, 32808}},
        {502, {517, 518, 32806, 0, 519}},
        {503, {521, 522}},
        {504, {523, 0, 524}},
    };
    return list;
}

QString load(quint32 id) {
    return CTSBSTR::load(id, MRV_GUIManager::instance().language());
}

QIcon iconFor(const QStyle* style, quint32 id) {
    switch (id) {
    case 510:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case 511:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    case 512:
        return style->standardIcon(QStyle::SP_ArrowForward);
    case 517:
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case 518:
        return style->standardIcon(QStyle::SP_FileDialogListView);
    case 519:
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    case 521:
        return style->standardIcon(QStyle::SP_ArrowDown);
    case 522:
        return style->standardIcon(QStyle::SP_FileDialogContentsView);
    default:
        return {};
    }
}

} // namespace

const QList<quint32>& MRV_MainFrame::toolbarCommands() {
    static const QList<quint32> commands = {510, 511, 0, 512, 0, 517, 518, 519, 0, 522, 521};
    return commands;
}

MRV_MainFrame::MRV_MainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MRV_MainFrame"));
    resize(800, 600);
    buildMenus();
    buildToolBar();
    buildStatusBar();

    m_splitter = new QSplitter(Qt::Horizontal);
    m_tree = new MRV_TreeFormDlg(m_splitter);
    m_detail = new MRV_DetailFormDlg(m_splitter);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_detail);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setChildrenCollapsible(false);
    auto* client = new QWidget;
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(187, 184, 205));
    client->setPalette(palette);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
    // The panes keep the window system's colours; the frame's own shows
    // around them only.
    m_splitter->setPalette(QApplication::palette(m_splitter));
    setCentralWidget(client);
    m_splitter->hide();
    updateMenuItems();
}

MRV_MainFrame::~MRV_MainFrame() = default;

QAction* MRV_MainFrame::addCommand(QMenu* menu, quint32 id) {
    auto* action = menu->addAction(QString());
    action->setObjectName(QStringLiteral("ctl%1").arg(id));
    action->setData(id);
    if (id == 519 || id == 32806)
        action->setCheckable(true);
    if (id == 523)
        action->setShortcut(QKeySequence::HelpContents);
    connect(action, &QAction::triggered, this, [id] { MRV_GUIManager::instance().command(id); });
    m_actions.insert(id, action);
    return action;
}

void MRV_MainFrame::buildMenus() {
    for (const Popup& popup : popups()) {
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(QStringLiteral("ctl%1").arg(popup.id));
        for (const quint32 id : popup.commands) {
            if (id == 0)
                menu->addSeparator();
            else
                addCommand(menu, id);
        }
    }
}

void MRV_MainFrame::buildToolBar() {
    QToolBar* bar = addToolBar(QString());
    bar->setObjectName(QStringLiteral("ctl128"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    for (const quint32 id : toolbarCommands()) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* action = m_actions.value(id);
        action->setIcon(iconFor(style(), id));
        bar->addAction(action);
    }
}

void MRV_MainFrame::buildStatusBar() {
    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("ctlStatusMessage"));
    statusBar()->addWidget(m_message, 1);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ctl499"));
    m_progress->setFixedWidth(m_progress->fontMetrics().horizontalAdvance(load(499)));
    m_progress->setTextVisible(false);
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setSingleShot(true);
    connect(m_statusTimer, &QTimer::timeout, this, &MRV_MainFrame::clearStatus);
}

void MRV_MainFrame::setEnableList(const MRV_EnableList& list) {
    m_list = list;
    m_hasList = true;
    updateMenuItems();
}

void MRV_MainFrame::updateMenuItems() {
    // Mnemonics are chosen per popup, so that each popup's items differ.
    for (const Popup& popup : popups()) {
        QStringList texts;
        QList<quint32> ids;
        QList<QAction*> actions;
        for (const quint32 id : popup.commands) {
            if (id == 0)
                continue;
            actions << m_actions.value(id);
            texts << load(id);
            ids << id;
        }
        const QStringList marked = MRV_withMnemonics(texts, ids);
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QAction* action = actions[i];
            const auto id = action->data().toUInt();
            if (!texts[i].isEmpty()) {
                action->setText(marked[i]);
                action->setToolTip(texts[i]);
            }
            action->setEnabled(m_hasList && MRV_isEnabled(m_list, id));
        }
    }
}

void MRV_MainFrame::setChecked(quint32 id, bool checked) {
    if (QAction* action = m_actions.value(id))
        action->setChecked(checked);
}

void MRV_MainFrame::setStatusText(const QString& text, bool bold, int clearAfterMs) {
    m_statusTimer->stop();
    QFont font = m_message->font();
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    m_message->setFont(font);
    m_message->setText(text);
    m_message->setAccessibleName(text);
    if (clearAfterMs > 0)
        m_statusTimer->start(clearAfterMs);
}

QString MRV_MainFrame::statusText() const {
    return m_message->text();
}

void MRV_MainFrame::clearStatus() {
    setStatusText(QString(), false, 0);
}

void MRV_MainFrame::startProgress(const QString& text, int minimum, int maximum) {
    setStatusText(text, false, 0);
    m_progress->setRange(minimum, maximum);
    m_progress->setValue(minimum);
    m_progress->show();
}

void MRV_MainFrame::setProgressPosition(int position) {
    m_progress->setValue(position);
}

void MRV_MainFrame::endProgress() {
    m_progress->hide();
    m_progress->reset();
    clearStatus();
}

void MRV_MainFrame::showSplitter(bool show) {
    m_splitter->setVisible(show);
}

bool MRV_MainFrame::splitterShown() const {
    return !m_splitter->isHidden();
}

void MRV_MainFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    MRV_GUIManager::instance().command(516);
}

void MRV_MainFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        updateMenuItems();
    QMainWindow::changeEvent(event);
}

#include "window/main/MainWindow.h"

#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/ConnectionCommands.h"
#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "shell/DocumentCommands.h"
#include "shell/Greeting.h"
#include "shell/Language.h"
#include "shell/SettingsFile.h"
#include "shell/Texts.h"
#include "shell/Twips.h"
#include "window/common/Icons.h"
#include "window/main/CaptionApplier.h"
#include "window/main/MenuBarKeys.h"
#include "window/main/MenuBuilder.h"
#include "window/main/MenuLayout.h"
#include "window/main/MenuMnemonics.h"
#include "window/main/ProgressDisplay.h"
#include "window/main/StatusPanels.h"
#include "window/main/WindowPlacement.h"
#include "window/main/WorkspaceFollower.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <limits>
#include <optional>

namespace
{
QString imageName(ShellHost::ConnectionImage image)
{
    switch (image) {
    case ShellHost::ConnectionImage::Connected:
        return QStringLiteral("status-connected");
    case ShellHost::ConnectionImage::Busy:
        return QStringLiteral("status-busy");
    case ShellHost::ConnectionImage::Disconnected:
        break;
    }
    return QStringLiteral("status-disconnected");
}

// A measure that does not fit the settings file's 16-bit integers is not stored.
std::optional<std::int16_t> toStoredTwips(double twips)
{
    const long rounded = std::lround(twips);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}
} // namespace

MainWindow::MainWindow(AppState& state, Desktop& desktop, const Clock& clock, QString programFolder,
                       QWidget* parent)
    : QMainWindow(parent), m_state(state), m_desktop(desktop), m_clock(clock),
      m_programFolder(std::move(programFolder)), m_mdi(new QMdiArea(this)),
      m_toolbar(new QToolBar(this)), m_status(nullptr), m_progress(nullptr)
{
    setWindowIcon(Icons::get(QStringLiteral("zorv")));
    m_services = std::make_unique<DesktopServices>(
        desktop, state, m_programFolder, [this](const QString& text) { setStatusText(text); });
    setCentralWidget(m_mdi);
    m_toolbar->setObjectName(ControlNames::Main::kToolbar);
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(16, 16));
    addToolBar(m_toolbar);
    m_status = new StatusPanels(statusBar(), m_clock);

    const auto built =
        MenuBuilder::buildMenus(menuBar(), this, [this](const QString& name) { perform(name); });
    m_actions = built.actions;
    m_menus = built.menus;
    m_buttons =
        MenuBuilder::buildToolbar(m_toolbar, [this](const QString& key) { performKey(key); });
    m_progress = new ProgressDisplay(
        m_toolbar, m_state.progressFraction, m_mdi,
        [this](ConnectionImage image) { setConnectionImage(image); },
        [this] { return m_state.connected; });
    registerCommands();
    new MenuBarKeys(menuBar());
    new WorkspaceFollower(m_mdi);

    connect(m_status, &StatusPanels::connectionDoubleClicked, this, [this] {
        if (!m_state.connected)
            perform(QStringLiteral("mconectar"));
    });
    connect(m_status, &StatusPanels::contextMenuRequested, this,
            [this](const QPoint& at) { m_menus.value(QStringLiteral("mr3system"))->popup(at); });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (!window)
            return;
        enableDocumentMenus();
        refreshWindowStates();
    });
    connect(m_menus.value(QStringLiteral("mjanela")), &QMenu::aboutToShow, this,
            &MainWindow::refreshWindowMenu);
    connect(m_menus.value(QStringLiteral("mfile")), &QMenu::aboutToShow, this,
            &MainWindow::refreshRecentDocuments);
    // Esc cancels a running export; it is taken only while one runs.
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setContext(Qt::ApplicationShortcut);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, m_progress, &ProgressDisplay::cancel);
}

MainWindow::~MainWindow() = default;

double MainWindow::dotsPerInch() const
{
    const QScreen* current = screen();
    return current ? current->logicalDotsPerInchY() : 96.0;
}

void MainWindow::load(QWidget* splash)
{
    MenuBuilder::attachMenuPictures(menuBar());
    applyStoredGeometry();
    if (!m_state.toolbarShown) {
        m_state.toolbarShown = true;
        perform(QStringLiteral("mtoolbar"));
    } else {
        action(QStringLiteral("mtoolbar"))->setChecked(true);
    }
    if (!m_state.statusBarShown) {
        m_state.statusBarShown = true;
        perform(QStringLiteral("mstatusbar"));
    } else {
        action(QStringLiteral("mstatusbar"))->setChecked(true);
    }
    if (!m_state.languageEnglish && !m_state.languagePortuguese && !m_state.languageOther)
        m_state.languageEnglish = true;
    setWindowTitle(Texts::get(TextId::MainCaption).en);
    showDisconnectedPanel();
    m_status->refreshClock();
    action(QStringLiteral("mpastetable"))->setEnabled(false);
    disableSaveMenus();
    m_progress->hideProgress();
    applyCaptions();
    showWelcome();
    if (splash)
        splash->close();
}

QRect MainWindow::defaultGeometry(const QRect& available)
{
    // Below 1024x640 the panes of a query window no longer show their texts whole: a small
    // screen gives the window all it has rather than four fifths of it.
    const QSize size = QSize(available.width() * 4 / 5, available.height() * 4 / 5)
                           .expandedTo(QSize(1024, 640))
                           .boundedTo(available.size());
    return {available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                         (available.height() - size.height()) / 2),
            size};
}

void MainWindow::applyStoredGeometry()
{
    const double dpi = dotsPerInch();
    const auto px = [dpi](double twips) { return Twips::toPixels(twips, dpi); };
    const QScreen* current = screen();
    QRect rect = defaultGeometry(current ? current->availableGeometry() : QRect(0, 0, 1280, 800));
    if (m_state.windowTop != 0)
        rect.moveTop(px(m_state.windowTop));
    if (m_state.windowLeft != 0)
        rect.moveLeft(px(m_state.windowLeft));
    if (m_state.windowHeight != 0)
        rect.setHeight(px(m_state.windowHeight));
    if (m_state.windowWidth != 0)
        rect.setWidth(px(m_state.windowWidth));
    // The screen the window was on, if it is still there; else the one it opens on.
    const QScreen* target = QGuiApplication::screenAt(rect.center());
    if (!target)
        target = current;
    if (target)
        rect = WindowPlacement::fitted(rect, target->availableGeometry());
    move(rect.topLeft());
    resize(rect.size().expandedTo(QSize(1, 1)));
}

void MainWindow::storeGeometry()
{
    if (isMinimized())
        return;
    const double dpi = dotsPerInch();
    const auto store = [dpi](int pixels, std::int16_t& target) {
        if (const auto twips = toStoredTwips(Twips::fromPixels(pixels, dpi)))
            target = *twips;
    };
    store(pos().y(), m_state.windowTop);
    store(pos().x(), m_state.windowLeft);
    store(height(), m_state.windowHeight);
    store(width(), m_state.windowWidth);
}

void MainWindow::showDisconnectedPanel()
{
    setConnectionPanel(ConnectionImage::Disconnected, Texts::get(TextId::Disconnected).en,
                       m_services->currentUserName() + Texts::get(TextId::NotConnected).en);
}

void MainWindow::applyCaptions()
{
    const Language language(m_state);
    m_qtTexts.use(language.portuguese());
    CaptionApplier::apply(this, language);
    m_progress->applyLanguage(language);
    // Alt and a letter open every menu, in either language.
    MenuMnemonics::apply(menuBar());
}

void MainWindow::showWelcome()
{
    setStatusText(
        Greeting::welcome(m_clock.now().time(), m_services->currentUserName(), Language(m_state)));
}

void MainWindow::setStatusText(const QString& text)
{
    m_status->setMessage(text);
}

void MainWindow::setConnectionPanel(ConnectionImage image, const QString& text,
                                    const QString& toolTip)
{
    m_status->setConnection(Icons::get(imageName(image)), text, toolTip);
}

void MainWindow::setConnectionImage(ConnectionImage image)
{
    m_status->setConnectionIcon(Icons::get(imageName(image)));
}

bool MainWindow::connectToSystem()
{
    m_state.connected = m_connection ? m_connection->logOn() : false;
    return m_state.connected;
}

void MainWindow::enableDocumentMenus()
{
    for (const char* name : {"msaveqtable", "msaveasqtable", "mcloseqtable"})
        action(QString::fromLatin1(name))->setEnabled(true);
    for (const char* name : {"mtable", "mfields", "mmytable", "moptions"})
        menu(QString::fromLatin1(name))->setEnabled(true);
}

void MainWindow::disableSaveMenus()
{
    action(QStringLiteral("msaveqtable"))->setEnabled(false);
    action(QStringLiteral("msaveasqtable"))->setEnabled(false);
}

void MainWindow::startProgress(const QString& kind)
{
    m_progress->startProgress(kind);
}

void MainWindow::advanceProgress(int percent)
{
    m_progress->advanceProgress(percent);
}

void MainWindow::endProgress()
{
    m_progress->endProgress();
}

void MainWindow::setProgressCancel(std::function<void()> cancel)
{
    m_escape->setEnabled(static_cast<bool>(cancel));
    m_progress->setCancel(std::move(cancel));
}

QAction* MainWindow::action(const QString& name) const
{
    return m_actions.value(name);
}

QMenu* MainWindow::menu(const QString& name) const
{
    return m_menus.value(name);
}

void MainWindow::setCommandEnabled(const QString& command, bool enabled)
{
    if (QAction* item = action(command))
        item->setEnabled(enabled);
    else if (QMenu* submenu = menu(command))
        submenu->setEnabled(enabled);
}

bool MainWindow::commandEnabled(const QString& command) const
{
    if (const QAction* item = action(command))
        return item->isEnabled();
    const QMenu* submenu = menu(command);
    return submenu && submenu->isEnabled();
}

void MainWindow::popupMenu(const QString& name, const QPoint& globalPos, const QList<QAction*>& own)
{
    QMenu* popup = menu(name);
    if (!popup)
        return;
    if (own.isEmpty()) {
        popup->popup(globalPos);
        return;
    }
    auto* combined = new QMenu(this);
    combined->setObjectName(ControlNames::Main::popupMenu(name));
    combined->setAttribute(Qt::WA_DeleteOnClose);
    combined->addActions(own);
    combined->addSeparator();
    combined->addActions(popup->actions());
    combined->popup(globalPos);
}

QAction* MainWindow::toolButton(const QString& key) const
{
    return m_buttons.value(key);
}

QMdiSubWindow* MainWindow::addQueryWindow(QWidget* window)
{
    QMdiSubWindow* sub = m_mdi->addSubWindow(window);
    // Ctrl+W is File > Close's; the window's own Close keeps its other keys.
    if (QMenu* system = sub->systemMenu()) {
        for (QAction* item : system->actions()) {
            QList<QKeySequence> keys = item->shortcuts();
            if (keys.removeAll(MenuLayout::shortcut(QStringLiteral("mcloseqtable"))) > 0)
                item->setShortcuts(keys);
        }
    }
    connect(sub, &QObject::destroyed, this, [this] {
        // The area forgets the window after this signal; look once it has.
        QTimer::singleShot(0, this, [this] {
            if (m_mdi->subWindowList().isEmpty())
                disableSaveMenus();
        });
    });
    // A new window takes the workspace, so that its panes have room, each a step down and right
    // from the one before and wholly inside; tiling rearranges them.
    constexpr int kStep = 24;
    const int steps = static_cast<int>(m_mdi->subWindowList().size() - 1) % 4;
    const QRect room = m_mdi->viewport()->rect();
    sub->setGeometry(room.adjusted(kStep * steps, kStep * steps, 0, 0));
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return sub;
}

QWidget* MainWindow::activeQueryWindow() const
{
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const double dpi = dotsPerInch();
    const double widthTwips = Twips::fromPixels(width(), dpi);
    if (widthTwips > kStatusReserveTwips)
        m_status->setMessageWidth(Twips::toPixels(widthTwips - kStatusReserveTwips, dpi));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // Each close request asks the query windows afresh; a window that refuses (a Cancel to its
    // save question, a running export) stops this one.
    if (m_documents)
        m_documents->keepOpenDocuments();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    unload();
    event->accept();
}

void MainWindow::unload()
{
    m_unloaded = true;
    closeConnection();
    writeSession();
}

void MainWindow::writeSession()
{
    if (m_documents)
        m_documents->keepUnsavedWork();
    storeGeometry();
    SettingsFile::writeFile(SettingsFile::pathIn(m_programFolder), m_state);
}

void MainWindow::endSession()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_documents)
        m_documents->keepOpenDocuments();
    writeSession();
    // What the windows held is kept above; deleting them also waits for a running export, which
    // reads through the connection closed next.
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    for (QMdiSubWindow* sub : windows)
        delete sub;
    closeConnection();
}

void MainWindow::closeConnection()
{
    m_progress->endProgress();
    if (m_connection)
        m_connection->shutdown();
    m_state.connected = false;
}

#include "app/tform1.h"

#include "app/command_table.h"
#include "app/error_display.h"
#include "app/icons.h"
#include "app/status_bar.h"
#include "app/up_down.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/edit_box.h"
#include "images/image_pane.h"
#include "workbench/workbench_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QShortcutEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zub {
namespace {

// The user's locale for sorting; a system without one set gets the interface's own language.
std::string collationLocale() {
    const QString name = QLocale().name();
    return (name == QLatin1String("C") || name.isEmpty()) ? std::string("zh_CN")
                                                          : name.toStdString();
}

constexpr int kWindowWidth = 596;
constexpr int kWindowHeight = 426;
constexpr int kClipListWidth = 257;
constexpr int kBarHeight = 24;

// Qt tells a widget that the mouse has left it only through events of the widget's own window.
// While a menu is open the menu has the mouse, and an item that opens a window (Help, a file
// dialog) or hides this one (the screen grab) closes the menu with the mouse over that other
// window: the button it dropped from never hears that the mouse left, and keeps its hover frame.
void leaveUnlessUnderCursor(QToolButton* button) {
    if (!button->underMouse() || QApplication::widgetAt(QCursor::pos()) == button) return;
    button->setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    button->update();
}

} // namespace

TForm1::TForm1(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_collator(collationLocale()),
      m_clipList(m_collator) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvel剪贴板"));
    setWindowIcon(icons::application());
    createControls();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
    // The controls watch m_clipList and call into this window, so they go now, while both are
    // whole, rather than in ~QWidget after the members. One at a time: a child may take a
    // sibling with it.
    while (QWidget* child = findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
}

void TForm1::createControls() {
    m_actions = createCommands(this);
    createBars();

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(createTextPage(), QStringLiteral("文字"));
    PageControl1->addTab(createImagePage(), QStringLiteral("图像"));
    PageControl1->addTab(createSettingsPage(), QStringLiteral("设置"));
    PageControl1->setCurrentIndex(0);

    StatusBar1 = new StatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(StatusBar1);
    setCentralWidget(central);

    createMenus();

    resize(kWindowWidth, kWindowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWindowWidth / 2, kWindowHeight / 2));
}

void TForm1::createBars() {
    // Three bands, one per row, that the user may drag into another order.
    auto band = [this](const char* name) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setAllowedAreas(Qt::TopToolBarArea);
        bar->setFloatable(false);
        bar->setMovable(true);
        bar->setIconSize(QSize(16, 16));
        bar->setContextMenuPolicy(Qt::PreventContextMenu);
        return bar;
    };
    ToolBar1 = band("ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->setStyleSheet(
        QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    addToolBarBreak(Qt::TopToolBarArea);

    ToolBar2 = band("ToolBar2");
    ToolBar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
    UpDown1 = new UpDown;
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setToolTip(QStringLiteral("调整位置"));
    const char* commandBar[] = {
        "Action1", "Action2",  "-",        "Action4",  "UpDown1", "Action6",  "Action7",  "Action8",
        "-",       "Action10", "Action11", "Action14", "-",       "Action15", "Action16", "-"};
    for (const char* item : commandBar) {
        if (qstrcmp(item, "-") == 0)
            ToolBar2->addSeparator();
        else if (qstrcmp(item, "UpDown1") == 0)
            ToolBar2->addWidget(UpDown1);
        else
            ToolBar2->addAction(action(QString::fromLatin1(item)));
    }
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    addToolBarBreak(Qt::TopToolBarArea);

    ToolBar3 = band("ToolBar3");
    m_editBar = new QWidget;
    m_editBar->setFixedHeight(kBarHeight);
    m_editBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* editLayout = new QHBoxLayout(m_editBar);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->setSpacing(0);
    Label1 = new QLabel(QStringLiteral(" 编辑框(&B)"));
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr);
    ComboBox1->setFocusPolicy(Qt::ClickFocus);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(1);
    Label1->setBuddy(ComboBox1);
    m_editBox = new EditBox(ComboBox1, this);
    SpeedButton1 = new QToolButton;
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("转到"));
    SpeedButton1->setIcon(icons::goButton());
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    editLayout->addWidget(Label1);
    editLayout->addWidget(ComboBox1);
    editLayout->addWidget(SpeedButton1);
    editLayout->addStretch(1);
    m_editBar->installEventFilter(this);
    ToolBar3->addWidget(m_editBar);
    addToolBar(Qt::TopToolBarArea, ToolBar3);
}

QWidget* TForm1::createTextPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);

    CheckListBox1 = new ClipListView(m_clipList);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setMinimumWidth(1);

    Memo1 = new WorkbenchEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setMinimumWidth(1);

    Splitter1->addWidget(CheckListBox1);
    Splitter1->addWidget(Memo1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kClipListWidth, kWindowWidth - kClipListWidth});

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
    return page;
}

QWidget* TForm1::createImagePage() {
    TabSheet2 = new ImagePane;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    return TabSheet2;
}

QWidget* TForm1::createSettingsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));

    auto combo = [](const char* name, bool editable) {
        auto* box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(editable);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(120);
        return box;
    };

    auto* textGroup = new QGroupBox(QStringLiteral("文字"));
    auto* textForm = new QFormLayout(textGroup);
    auto* prefix = ComboBox2 = combo("ComboBox2", true);
    prefix->addItems({"<", "</", "<%", "<?php ", "<xsl:", "</xsl:", "(", "(*", "[", "{", "//", "'",
                      "\"", "$", "#", "&", QStringLiteral("《")});
    prefix->setCurrentIndex(-1);
    prefix->setEditText(QString());
    auto* suffix = ComboBox3 = combo("ComboBox3", true);
    suffix->addItems({">", "/>", "?>", ")", "*)", "]", "}", "'", "\"", "/", "\\", ",", ".", "&",
                      QStringLiteral("》")});
    suffix->setCurrentIndex(-1);
    suffix->setEditText(QString());
    auto* format = ComboBox5 = combo("ComboBox5", true);
    format->addItems({".htm", ".txt"});
    format->setEditText(QStringLiteral(".txt"));
    textForm->addRow(QStringLiteral("前缀："), prefix);
    textForm->addRow(QStringLiteral("后缀："), suffix);
    textForm->addRow(QStringLiteral("预览格式:    "), format);

    auto* imageGroup = new QGroupBox(QStringLiteral("图像"));
    auto* imageForm = new QFormLayout(imageGroup);
    auto* delay = ComboBox4 = combo("ComboBox4", false);
    for (int i = 1; i <= 10; ++i) delay->addItem(QString::number(i));
    delay->setCurrentIndex(-1);
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(delay);
    delayRow->addWidget(new QLabel(QStringLiteral("秒 ")));
    delayRow->addStretch(1);
    imageForm->addRow(QStringLiteral("抓屏延时:    "), delayRow);
    // Both check boxes carry their caption on the left of the box.
    auto check = [](const char* name, const QString& caption, bool checked) {
        auto* box = new QCheckBox(caption);
        box->setObjectName(QString::fromLatin1(name));
        box->setLayoutDirection(Qt::RightToLeft);
        box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        box->setChecked(checked);
        return box;
    };
    CheckBox1 = check("CheckBox1", QStringLiteral("自动保存:"), false);
    imageForm->addRow(CheckBox1);
    CheckBox2 = check("CheckBox2", QStringLiteral("抓屏自动隐藏"), true);
    imageForm->addRow(CheckBox2);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(textGroup);
    layout->addWidget(imageGroup);
    layout->addStretch(1);
    return page;
}

void TForm1::createMenus() {
    struct MenuDefinition {
        const char* caption;
        QList<const char*> items;
    };
    const MenuDefinition menus[] = {
        {"文件(&F)", {"Action1", "Action2", "-", "Action3"}},
        {"剪切板记录(&J)", {"Action4", "Action5", "Action6", "Action7", "Action8"}},
        {"文档编辑(&W)",
         {"Action10", "Action11", "Action14", "-", "SearchFind1", "SearchReplace1", "-", "Action12",
          "Action13"}},
        {"图像编辑(&T)", {"Action22", "Action20", "Action21"}},
        {"捕获设置(&B)", {"Action15", "Action16"}},
        {"帮助(&H)", {"Action17", "Action19"}},
    };
    int index = 0;
    for (const MenuDefinition& entry : menus) {
        auto* menu = new QMenu(QString::fromUtf8(entry.caption), this);
        for (const char* item : entry.items) {
            const QString name = QString::fromLatin1(item);
            if (name == QLatin1String("-"))
                menu->addSeparator();
            else if (name == QLatin1String("SearchFind1")) {
                QAction* find = createMenuProxy(action(name), QStringLiteral("查找(&F)"),
                                                QStringLiteral("查找"), menu);
                // Shown beside the item; only the command itself answers the key in the window.
                find->setShortcut(action(name)->shortcut());
                find->setShortcutContext(Qt::WidgetShortcut);
                menu->addAction(find);
            } else if (action(name)->isCheckable())
                menu->addAction(createCheckMenuItem(action(name), menu));
            else if (name == QLatin1String("SearchReplace1"))
                menu->addAction(createMenuProxy(action(name), QStringLiteral("查找替换(&R)"),
                                                QStringLiteral("查找替换"), menu));
            else
                menu->addAction(action(name));
        }
        m_mainMenus[index++] = menu;
        // The menu is a row of flat buttons on the first band, each dropping its menu down.
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("MenuButton%1").arg(index - 1));
        button->setText(menu->title());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        button->setFixedHeight(kBarHeight);
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
        // Once the menu is gone and what its item opened is on the screen.
        connect(menu, &QMenu::aboutToHide, button, [button] {
            QTimer::singleShot(0, button, [button] { leaveUnlessUnderCursor(button); });
        });
        ToolBar1->addWidget(button);
    }

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    T2 = createMenuProxy(action(QStringLiteral("Action11")),
                         action(QStringLiteral("Action11"))->text(),
                         action(QStringLiteral("Action11"))->toolTip(), PopupMenu1);
    T2->setObjectName(QStringLiteral("T2"));
    Z4 = new QAction(QStringLiteral("注释(&Z)"), PopupMenu1);
    Z4->setObjectName(QStringLiteral("Z4"));
    PopupMenu1->addAction(T2);
    PopupMenu1->addAction(Z4);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editBar && event->type() == QEvent::Resize) ToolBar3Resize();
    // Two controls share Alt+B (the edit box's label and the capture menu). Qt hands such a key
    // to each in turn as an ambiguous shortcut; the label then focuses the edit box, and a menu
    // button should drop its menu rather than do nothing, so repeated presses cycle between them.
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        if (auto* button = qobject_cast<QToolButton*>(watched); button && button->menu()) {
            button->showMenu();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::ToolBar3Resize() {
    ComboBox1->setFixedWidth(std::max(0, m_editBar->width() - Label1->sizeHint().width() -
                                             SpeedButton1->sizeHint().width()));
}

void TForm1::FormResize() {
    TabSheet2->FormResize();
}

void TForm1::PageControl1Change() {
    action(QStringLiteral("Action11"))->setEnabled(PageControl1->currentIndex() == 0);
}

void TForm1::showError(const char* message) {
    m_services.dialogs.message(this, QStringLiteral("Zub剪贴板"), errorMessageText(message),
                               MessageIcon::Error);
}

} // namespace zub

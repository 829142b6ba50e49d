// The window's event handlers: each wires a control or a system event to the feature code.

#include "app/busy_cursor.h"
#include "app/status_bar.h"
#include "app/tform1.h"
#include "app/up_down.h"
#include "cliplist/clip_list_model.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/list_document.h"
#include "cliplist/selection_display.h"
#include "dialogs/tform2.h"
#include "dialogs/tform3.h"
#include "platform/qt/qt_text.h"

#include <QAction>
#include <QDir>
#include <QTabWidget>

namespace zub {
namespace {

const QString kListFilter = QStringLiteral("Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*");
const QString kSaveListFilter = QStringLiteral("保存Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*");

} // namespace

void TForm1::connectHandlers() {
    auto on = [this](const char* name, auto handler) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    on("Action1", &TForm1::Action1Execute);
    on("Action2", &TForm1::Action2Execute);
    on("Action3", &TForm1::Action3Execute);
    on("Action16", &TForm1::Action16Execute);
    on("Action4", &TForm1::Action4Execute);
    on("Action17", &TForm1::Action17Execute);
    on("Action19", &TForm1::Action19Execute);
    // The command's check mark is the capture mode; Qt has already switched it when the
    // command runs, so the handler is told the mode it is leaving.
    connect(action(QStringLiteral("Action15")), &QAction::triggered, this,
            [this](bool nowOn) { guard([this, nowOn] { Action15Execute(!nowOn); }); });
    connect(UpDown1, &UpDown::clicked, this, [this] { guard([this] { UpDown1Click(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { guard([this] { PageControl1Change(); }); });
    connect(CheckListBox1, &ClipListView::userSelected, this,
            [this] { guard([this] { CheckListBox1Click(); }); });
    connectListCommands();
    connectGoCommands();
    connectWorkbenchCommands();
    connectSearchCommands();
    connectImageCommands();
    connectGrabCommands();
}

void TForm1::FormCreate() {
    // The open dialog starts in the program's folder as named without a closing separator, the
    // save dialog with one.
    const QString folder = QDir::toNativeSeparators(
        QDir::cleanPath(QString::fromStdString(m_services.files.programFolder().string())));
    const QString withSeparator =
        folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
    m_openDialog1 = {QStringLiteral("打开Zub文档"), kListFilter, folder, QStringLiteral("zub"),
                     false};
    m_saveDialog1 = {QStringLiteral("保存Zub文档"), kSaveListFilter, withSeparator,
                     QStringLiteral("zub"), true};

    FHotKeyAtom = m_services.hotKey.addAtom("hotkey");
    m_services.hotKey.registerHotKey(FHotKeyAtom, hotkey::kControl, hotkey::kKeyR,
                                     [this](unsigned modifiers, unsigned key) {
                                         guard([=, this] { hotKeyPressed(modifiers, key); });
                                     });
    StatusBar1->setText(4, QStringLiteral("手动"));
}

void TForm1::FormDestroy() {
    m_services.hotKey.unregisterHotKey(FHotKeyAtom);
    m_services.viewerChain.leave(*this, FNextViewer);
    m_services.viewerChain.sendChainChanged(FNextViewer, *this, FNextViewer);
}

void TForm1::CheckListBox1Click() {
    const SelectionDisplay d = selectionDisplay(m_clipList);
    CheckListBox1->setToolTip(ClipListModel::tipText(d.hint));
    StatusBar1->setText(0, toQString(d.number));
    StatusBar1->setText(2, toQString(d.comment));
    UpDown1->setMinimum(d.reorderMinimum);
    UpDown1->setPosition(d.reorderPosition);
}

void TForm1::Action1Execute() {
    if (const auto path = m_services.dialogs.openFile(this, m_openDialog1)) openListFile(*path);
}

void TForm1::openListDocument(const std::filesystem::path& path) {
    guard([&] { openListFile(path); });
}

void TForm1::openListFile(const std::filesystem::path& path) {
    const BusyCursor busy;
    loadListDocument(path, m_clipList);
    CheckListBox1Click();
}

void TForm1::Action2Execute() {
    if (const auto path = m_services.dialogs.saveFile(this, m_saveDialog1)) {
        const BusyCursor busy;
        saveListDocument(*path, m_clipList);
    }
}

void TForm1::Action3Execute() {
    close();
}

// Each command opens a fresh dialog beside the window; the window keeps no hold on it.
void TForm1::Action17Execute() {
    (new TForm3(this))->show();
}

void TForm1::Action19Execute() {
    (new TForm2(windowIcon(), this))->show();
}

void TForm1::Action4Execute() {
    // The command's check mark and the list's sorted state are one setting shown twice.
    const BusyCursor busy;
    m_clipList.setSorted(action(QStringLiteral("Action4"))->isChecked());
}

void TForm1::Action15Execute(bool wasOn) {
    ViewerChain& chain = m_services.viewerChain;
    if (wasOn) {
        chain.leave(*this, FNextViewer);
        chain.sendChainChanged(FNextViewer, *this, FNextViewer);
    } else {
        FNextViewer = chain.join(*this);
    }
    StatusBar1->setText(4, wasOn ? QStringLiteral("手动") : QStringLiteral("自动"));
    action(QStringLiteral("Action16"))->setEnabled(wasOn);
}

void TForm1::Action16Execute() {
    ViewerChain& chain = m_services.viewerChain;
    FNextViewer = chain.join(*this);
    chain.leave(*this, FNextViewer);
    chain.sendChainChanged(FNextViewer, *this, FNextViewer);
}

void TForm1::hotKeyPressed(unsigned modifiers, unsigned key) {
    if (modifiers == hotkey::kControl && key == hotkey::kKeyR &&
        action(QStringLiteral("Action16"))->isEnabled())
        Action16Execute();
}

void TForm1::clipboardChanged() {
    guard([this] {
        // Passed on first and always, so that the rest of the chain hears of the change even
        // when reading the clipboard fails below.
        m_services.viewerChain.forwardChange(FNextViewer);
        // What a password manager marks as secret never enters the history.
        if (m_services.clipboard.isSecret()) return;
        if (m_services.clipboard.offersText()) captureText();
        if (m_services.clipboard.offersBitmap()) capturePicture();
    });
}

void TForm1::captureText() {
    std::string text = m_services.clipboard.readText();
    if (m_clipList.containsClipText(text)) return;
    m_clipList.add(std::move(text));
    m_clipList.select(m_clipList.size() - 1);
    CheckListBox1Click();
}

} // namespace zub

#pragma once

#include "cliplist/clip_list.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "text/collation.h"
#include "workbench/word_prefix_search.h"
#include "workbench/workbench_document.h"

#include <QHash>
#include <QMainWindow>

#include <cstdint>
#include <exception>
#include <filesystem>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace zub {

class ClipListView;
class EditBox;
class ImagePane;
class Picture;
class SerialWorker;
class StatusBar;
class UpDown;
class WorkbenchEdit;
class WorkbenchSearch;

// The main window. It owns every control and the state of the run, builds the command table,
// applies the layout rules and shows errors; the commands' logic lives in the feature folders
// and its handlers only wire them to the controls.
class TForm1 : public QMainWindow, public ClipboardViewer {
    Q_OBJECT
public:
    explicit TForm1(Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    QAction* action(const QString& name) const { return m_actions.value(name); }
    ClipList& clipList() { return m_clipList; }
    ClipListView* clipListView() const { return CheckListBox1; }
    EditBox* editBox() const { return m_editBox; }
    StatusBar* statusBar1() const { return StatusBar1; }
    WorkbenchEdit* memo1() const { return Memo1; }
    ImagePane* imagePane() const { return TabSheet2; }
    QTimer* timer1() const { return Timer1; }
    ViewerHandle nextViewer() const { return FNextViewer; }

    // Runs `handler` the way every event handler of the window runs: an error ends it, is shown
    // in a message box, and the program goes on with whatever the handler had done before.
    template <typename Handler> void guard(Handler&& handler) {
        try {
            handler();
        } catch (const std::exception& error) {
            showError(error.what());
        }
    }

    // The selection display: tool tip, entry number, comment and reorder control.
    void CheckListBox1Click();
    void Action1Execute();
    // Opens a list document the way the open command does once its dialog is confirmed; a
    // failure is shown like any other (for a document named on the command line).
    void openListDocument(const std::filesystem::path& path);
    void Action2Execute();
    void Action3Execute();
    void Action4Execute();
    void Action15Execute(bool wasOn);
    void Action16Execute();
    void UpDown1Click();
    void Action5Execute();
    void Action6Execute();
    void Action7Execute();
    void Action8Execute();
    void Action17Execute();
    void Action19Execute();
    // Recall of the selected entry into the clipboard and the edit box.
    void CheckListBox1DblClick();
    void Z4Click();
    // The edit-box search.
    void ComboBox1Change();
    // Go: opens the edit box's text, or searches the web for it.
    void SpeedButton1Click();
    // Auto-complete (Ctrl+Enter): a bare name becomes a web address, then Go.
    void Action9Execute();
    void CheckListBox1ContextPopup();
    // The workbench: New, Extract, its documents, Preview and the word-prefix search.
    void Action10Execute();
    void Action11Execute();
    void Action12Execute();
    void Action13Execute();
    void Action14Execute();
    void Memo1Change();
    // Find and Replace on the workbench, enabled while it has the focus and some text.
    void SearchFind1Execute();
    void SearchReplace1Execute();
    WorkbenchSearch* workbenchSearch() const { return m_workbenchSearch; }
    void PageControl1Change();
    void ToolBar3Resize();
    void FormResize();
    void Action22Execute();
    void Action20Execute();
    void hotKeyPressed(unsigned modifiers, unsigned key);
    // Screen grab: the command starts the delay, the tick shows the region selector.
    void Action21Execute();
    void Timer1Timer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clipboardChanged() override;
    void captureText();
    // The picture step: the clipboard's bitmap into the image pane, and saved when asked. The
    // picture is decoded and saved off the window's thread; the pane shows it when it is ready.
    void capturePicture();
    // Where a picture captured now is saved, with the picture folder made.
    std::filesystem::path capturedPictureFile();
    // Each command that changes the pane's picture asks for a number; a picture that arrives
    // later is shown only when no later request has been shown (or emptied the pane) since.
    std::uint64_t paneRequest() { return ++m_paneRequests; }
    void showPicture(std::uint64_t request, const Picture& picture, bool layOut);
    // Removes what saves cut short in earlier runs left in the folders the program saves into.
    void removeStaleTemporaryFiles();
    void openListFile(const std::filesystem::path& path);
    // The workbench's document is now in this format; the status bar says which.
    void setDocumentFormat(const DocumentFormat& format);

    void createControls();
    void createBars();
    QWidget* createTextPage();
    QWidget* createImagePage();
    QWidget* createSettingsPage();
    void createMenus();
    void connectHandlers();
    void connectListCommands();
    void connectGoCommands();
    void connectWorkbenchCommands();
    void connectSearchCommands();
    void enableSearchCommands(bool on);
    void connectImageCommands();
    void connectGrabCommands();
    void FormCreate();
    void FormDestroy();
    void showError(const char* message);

    Services m_services;
    Collator m_collator;
    ClipList m_clipList;
    ViewerHandle FNextViewer = 0;
    std::uint16_t FHotKeyAtom = 0;
    FileDialogOptions m_openDialog1;
    FileDialogOptions m_saveDialog1;
    FileDialogOptions m_openDialog2;
    FileDialogOptions m_saveDialog2;
    DocumentFormat m_documentFormat;
    WordPrefixSearch m_wordPrefixSearch;
    FileDialogOptions OpenPictureDialog1;
    FileDialogOptions SavePictureDialog1;
    // Reads pictures, saves them, one job after another in the order asked.
    SerialWorker* m_pictureWorker = nullptr;
    std::uint64_t m_paneRequests = 0;
    std::uint64_t m_paneShown = 0;

    QHash<QString, QAction*> m_actions;
    QMenu* m_mainMenus[6] = {};
    QMenu* PopupMenu1 = nullptr;
    QAction* T2 = nullptr;
    QAction* Z4 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QWidget* m_editBar = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    EditBox* m_editBox = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    UpDown* UpDown1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    ClipListView* CheckListBox1 = nullptr;
    WorkbenchEdit* Memo1 = nullptr;
    WorkbenchSearch* m_workbenchSearch = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    ImagePane* TabSheet2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    StatusBar* StatusBar1 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace zub

// Handlers of the image pane's commands: opening and saving picture files.

#include "app/tform1.h"
#include "images/image_pane.h"
#include "images/picture_files.h"

#include <QAction>

namespace zub {

void TForm1::connectImageCommands() {
    // Both picture dialogs keep their default title and folder and show a preview pane; a name
    // typed without an extension is saved as a bitmap file, over an old one without asking.
    OpenPictureDialog1.filter = openPictureFilter();
    OpenPictureDialog1.preview = picturePreview;
    SavePictureDialog1.filter = savePictureFilter();
    SavePictureDialog1.defaultExtension = QStringLiteral("bmp");
    SavePictureDialog1.preview = picturePreview;

    auto on = [this](const char* name, void (TForm1::*handler)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    on("Action22", &TForm1::Action22Execute);
    on("Action20", &TForm1::Action20Execute);
}

void TForm1::Action22Execute() {
    // The scroll bars are not brought up to date: that waits for the next layout.
    if (const auto path = m_services.dialogs.openFile(this, OpenPictureDialog1))
        TabSheet2->setPicture(loadPictureFile(*path));
}

void TForm1::Action20Execute() {
    if (const auto path = m_services.dialogs.saveFile(this, SavePictureDialog1))
        savePictureFile(*path, TabSheet2->picture());
}

} // namespace zub

// Handlers of the image pane's commands: opening and saving picture files. Reading and writing
// run on the pictures' worker, off the window's thread: a picture file can take seconds, and a
// hostile one is given up only after its reader's time limit.

#include "app/tform1.h"
#include "capture/picture_file_name.h"
#include "images/contained_reading.h"
#include "images/image_pane.h"
#include "images/picture_files.h"
#include "platform/files.h"
#include "platform/qt/serial_worker.h"

#include <QAction>

namespace zub {

void TForm1::connectImageCommands() {
    m_pictureWorker = new SerialWorker(this);
    m_pictureWorker->setDelivery([this](const SerialWorker::Finish& finish) { guard(finish); });
    removeStaleTemporaryFiles();

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
    const auto path = m_services.dialogs.openFile(this, OpenPictureDialog1);
    if (!path) return;
    // A name the table of formats does not know is told at once.
    const PictureFormat format = pictureFormatOf(*path);
    const std::uint64_t request = paneRequest();
    m_pictureWorker->post([this, format, path = *path, request](const std::atomic<bool>&) {
        const Picture picture = readPictureContained(format, files::readWholeFile(path));
        // The scroll bars are not brought up to date: that waits for the next layout.
        return [this, request, picture] { showPicture(request, picture, false); };
    });
}

void TForm1::Action20Execute() {
    const auto path = m_services.dialogs.saveFile(this, SavePictureDialog1);
    if (!path) return;
    m_pictureWorker->post([path = *path, picture = TabSheet2->picture()](const std::atomic<bool>&) {
        savePictureFile(path, picture);
        return SerialWorker::Finish();
    });
}

void TForm1::showPicture(std::uint64_t request, const Picture& picture, bool layOut) {
    if (request <= m_paneShown) return;
    m_paneShown = request;
    TabSheet2->setPicture(picture);
    if (layOut) TabSheet2->FormResize();
}

void TForm1::removeStaleTemporaryFiles() {
    const std::filesystem::path folder = m_services.files.programFolder();
    m_pictureWorker->post([folder](const std::atomic<bool>&) {
        for (const auto& saved : {folder, folder / kPictureFolderName, folder / "~temp"})
            files::removeStaleTemporaryFiles(saved);
        return SerialWorker::Finish();
    });
}

} // namespace zub

// The picture step of a clipboard change: the bitmap on show in the image pane and, with
// automatic saving on, kept in a time-stamped file of the picture folder.

#include "app/tform1.h"
#include "capture/captured_picture.h"
#include "capture/picture_file_name.h"
#include "images/image_pane.h"
#include "images/picture_files.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>

namespace zub {

void TForm1::capturePicture() {
    QImage image = m_services.clipboard.readBitmap();
    // Offered but gone by the time it was read (its owner quit before answering): nothing to
    // show, and the pane keeps what it had.
    if (image.isNull()) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    TabSheet2->setPicture(capturedPicture(std::move(image), screen ? screen->depth() : 0));
    TabSheet2->FormResize();
    if (CheckBox1->isChecked()) saveCapturedPicture();
}

void TForm1::saveCapturedPicture() {
    const std::filesystem::path folder = m_services.files.programFolder();
    // Relative names the user types later resolve here, as they always have after a save.
    m_services.files.setCurrentFolder(folder);
    const std::filesystem::path pictures = folder / kPictureFolderName;
    // Whether the folder could be made shows when the file cannot be written into it.
    if (!m_services.files.isFolder(pictures)) m_services.files.createFolder(pictures);
    savePictureFile(pictures / pictureFileName(m_services.clock.localNow()),
                    TabSheet2->picture());
}

} // namespace zub

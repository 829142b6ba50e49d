// The picture step of a clipboard change: the bitmap on show in the image pane and, with
// automatic saving on, kept in a time-stamped file of the picture folder. Decoding what another
// program copied, and encoding and writing the file, run on the pictures' worker: a large
// picture would otherwise hold the window for as long as they take.

#include "app/tform1.h"
#include "capture/captured_picture.h"
#include "capture/copied_picture.h"
#include "capture/picture_file_name.h"
#include "images/image_pane.h"
#include "images/picture_files.h"
#include "platform/qt/serial_worker.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>

#include <exception>
#include <optional>

namespace zub {

void TForm1::capturePicture() {
    // Either the bytes another program served, decoded later, or pixels at once.
    QByteArray encoded = m_services.clipboard.readEncodedBitmap();
    QImage pixels;
    if (encoded.isEmpty()) {
        pixels = m_services.clipboard.readBitmap();
        // Offered but gone by the time it was read (its owner quit before answering): nothing
        // to show, and the pane keeps what it had.
        if (pixels.isNull()) return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int depth = screen ? screen->depth() : 0;

    // The moment of the capture names the file; a folder that cannot be made current is told
    // after the picture is on show, and then nothing is saved.
    std::optional<std::filesystem::path> file;
    std::exception_ptr folderError;
    if (CheckBox1->isChecked()) {
        try {
            file = capturedPictureFile();
        } catch (...) {
            folderError = std::current_exception();
        }
    }
    const std::uint64_t request = paneRequest();
    m_pictureWorker->post([this, encoded = std::move(encoded), pixels = std::move(pixels), depth,
                           file, folderError, request](const std::atomic<bool>&) {
        const Picture picture =
            capturedPicture(pixels.isNull() ? decodeCopiedPicture(encoded) : pixels, depth);
        std::exception_ptr error = folderError;
        if (file) {
            try {
                savePictureFile(*file, picture);
            } catch (...) {
                error = std::current_exception();
            }
        }
        return [this, request, picture, error] {
            showPicture(request, picture, true);
            if (error) std::rethrow_exception(error);
        };
    });
}

std::filesystem::path TForm1::capturedPictureFile() {
    const std::filesystem::path folder = m_services.files.programFolder();
    // Relative names the user types later resolve here, as they always have after a save.
    m_services.files.setCurrentFolder(folder);
    const std::filesystem::path pictures = folder / kPictureFolderName;
    // Whether the folder could be made shows when the file cannot be written into it.
    if (!m_services.files.isFolder(pictures)) m_services.files.createFolder(pictures);
    const std::string name = pictureFileName(m_services.clock.localNow());
    return pictures / std::u8string(name.begin(), name.end());
}

} // namespace zub

#pragma once

#include <QImage>
#include <QWidget>

#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;

namespace zub {

class PictureView;
class SerialWorker;

// The preview pane of the picture dialogs, beside the file list: the selected file's picture
// scaled to fit and centred, above it "Picture:" or the picture's size, and a "Preview" button
// that opens it in a window of its own.
//
// The file is read off the window's thread: selecting a large or hostile file never holds the
// dialog. The pane shows nothing until the picture arrives, and a picture that arrives after the
// selection has moved on is dropped (its reading is called off).
class PicturePreviewPane : public QWidget {
    Q_OBJECT
public:
    // Called off the window's thread.
    using Loader = std::function<QImage(const std::filesystem::path&)>;

    explicit PicturePreviewPane(Loader loader, QWidget* parent = nullptr);

    // The file the dialog's selection now names; empty when none.
    void showFile(const QString& path);
    // Whether a file is still being read.
    bool isReading() const;

    QLabel* caption() const { return m_caption; }
    PictureView* view() const { return m_view; }
    QPushButton* previewButton() const { return m_previewButton; }

private:
    void openPreviewWindow();
    void showPicture(const QImage& picture);

    Loader m_loader;
    SerialWorker* m_worker;
    // Counts the selections, so that a picture read for an earlier one is not shown.
    quint64 m_selection = 0;
    QLabel* m_caption;
    PictureView* m_view;
    QPushButton* m_previewButton;
};

} // namespace zub

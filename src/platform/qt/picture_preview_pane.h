#pragma once

#include <QImage>
#include <QWidget>

#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;

namespace zub {

class PictureView;

// The preview pane of the picture dialogs, beside the file list: the selected file's picture
// scaled to fit and centred, above it "Picture:" or the picture's size, and a "Preview" button
// that opens it in a window of its own.
class PicturePreviewPane : public QWidget {
    Q_OBJECT
public:
    using Loader = std::function<QImage(const std::filesystem::path&)>;

    explicit PicturePreviewPane(Loader loader, QWidget* parent = nullptr);

    // The file the dialog's selection now names; empty when none.
    void showFile(const QString& path);

    QLabel* caption() const { return m_caption; }
    PictureView* view() const { return m_view; }
    QPushButton* previewButton() const { return m_previewButton; }

private:
    void openPreviewWindow();

    Loader m_loader;
    QLabel* m_caption;
    PictureView* m_view;
    QPushButton* m_previewButton;
};

} // namespace zub

#include "platform/qt/picture_preview_pane.h"

#include "platform/qt/picture_preview_window.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/serial_worker.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zub {

PicturePreviewPane::PicturePreviewPane(Loader loader, QWidget* parent)
    : QWidget(parent), m_loader(std::move(loader)), m_worker(new SerialWorker(this)) {
    setObjectName(QStringLiteral("PicturePreviewPane"));
    m_caption = new QLabel(QStringLiteral("Picture:"));
    m_previewButton = new QPushButton(QStringLiteral("Preview"));
    m_previewButton->setToolTip(QStringLiteral("Preview"));
    m_previewButton->setEnabled(false);
    connect(m_previewButton, &QPushButton::clicked, this, &PicturePreviewPane::openPreviewWindow);

    m_view = new PictureView(PictureView::Scaling::ShrinkToFit);
    m_view->setMinimumSize(150, 150);
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(m_view);

    auto* top = new QHBoxLayout;
    top->addWidget(m_caption, 1);
    top->addWidget(m_previewButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(frame, 1);
}

void PicturePreviewPane::showFile(const QString& path) {
    const quint64 selection = ++m_selection;
    m_worker->cancelAll();
    showPicture(QImage());
    if (path.isEmpty()) return;
    m_worker->post([this, loader = m_loader, path, selection](const std::atomic<bool>& cancelled) {
        QImage picture;
        // Even looking at the name can wait on a slow disk or a network folder.
        if (!cancelled && QFileInfo(path).isFile()) picture = loader(pathFromQString(path));
        return [this, picture, selection] {
            if (selection == m_selection) showPicture(picture);
        };
    });
}

bool PicturePreviewPane::isReading() const {
    return m_worker->isBusy();
}

void PicturePreviewPane::showPicture(const QImage& picture) {
    m_view->setPicture(picture);
    m_caption->setText(picture.isNull()
                           ? QStringLiteral("Picture:")
                           : QStringLiteral(" (%1x%2)").arg(picture.width()).arg(picture.height()));
    m_previewButton->setEnabled(!picture.isNull());
}

void PicturePreviewPane::openPreviewWindow() {
    if (m_view->picture().isNull()) return;
    PicturePreviewWindow window(m_view->picture(), this);
    window.exec();
}

} // namespace zub

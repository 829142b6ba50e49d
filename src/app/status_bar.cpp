#include "app/status_bar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace zub {
namespace {
constexpr std::array<int, StatusBar::kPanelCount> kInitialWidths = {50, 50, 0, 55, 50, 50};
} // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const std::array<const char*, kPanelCount> texts = {"就绪",     "注释", "",
                                                        "捕获模式", "手动", "GBK"};
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(texts[static_cast<std::size_t>(i)]), this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setFixedWidth(kInitialWidths[static_cast<std::size_t>(i)]);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(2);
        m_panels[static_cast<std::size_t>(i)] = label;
        layout->addWidget(label);
    }
    layout->addStretch(1);
    setFixedHeight(19);
}

QString StatusBar::text(int panel) const {
    return m_panels.at(static_cast<std::size_t>(panel))->text();
}

void StatusBar::setText(int panel, const QString& text) {
    m_panels.at(static_cast<std::size_t>(panel))->setText(text);
}

int StatusBar::panelWidth(int panel) const {
    return m_panels.at(static_cast<std::size_t>(panel))->width();
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    StatusBar1Resize();
}

void StatusBar::StatusBar1Resize() {
    int others = 0;
    for (int i : {0, 1, 3, 4, 5}) others += m_panels[static_cast<std::size_t>(i)]->width();
    m_panels[2]->setFixedWidth(std::max(0, width() - others));
}

} // namespace zub

#pragma once

#include <QWidget>

#include <array>

class QLabel;

namespace zub {

// The status bar: six sunken panels side by side. Panel 2 takes whatever width the others
// leave, recomputed whenever the bar is resized. Panel 5, beyond the five of the window's
// design, shows the encoding of the workbench's document.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 6;

    explicit StatusBar(QWidget* parent = nullptr);

    QString text(int panel) const;
    void setText(int panel, const QString& text);
    int panelWidth(int panel) const;
    QLabel* panel(int index) const { return m_panels[static_cast<std::size_t>(index)]; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void StatusBar1Resize();

    std::array<QLabel*, kPanelCount> m_panels{};
};

} // namespace zub

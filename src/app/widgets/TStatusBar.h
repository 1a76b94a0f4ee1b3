#pragma once

#include <QStatusBar>

class QLabel;

/// A status bar of fixed text panels: every panel but the last has a fixed width, the
/// last takes the rest of the bar. A click anywhere on the bar emits `clicked`.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    /// panelWidths: the widths of the panels in pixels; the last width is the minimum of
    /// the stretching last panel.
    explicit TStatusBar(const QList<int>& panelWidths, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(m_panels.size()); }
    /// The text of panel i as set ("" for an index outside the panels).
    QString panelText(int i) const;
    /// Sets the text of panel i (nothing for an index outside the panels). A panel shows a
    /// text too long for it shortened in the middle (the last one at its width of the
    /// moment, again whenever the bar is resized); panelText keeps it whole.
    void setPanelText(int i, const QString& text);

Q_SIGNALS:
    /// The left mouse button was released over the bar.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPanelText(int i);
    QList<QLabel*> m_panels;
    QStringList m_texts;
};

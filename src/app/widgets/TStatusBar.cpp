#include "app/widgets/TStatusBar.h"

#include <QLabel>
#include <QMouseEvent>

TStatusBar::TStatusBar(const QList<int>& panelWidths, QWidget* parent)
    : QStatusBar(parent)
{
    for (qsizetype i = 0; i < panelWidths.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        // Panel labels must not take the mouse: a click anywhere belongs to the bar.
        panel->setAttribute(Qt::WA_TransparentForMouseEvents);
        const bool last = i == panelWidths.size() - 1;
        if (last) {
            // Its share of the bar, whatever its text: a long path is shortened to fit.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panel->setMinimumWidth(panelWidths[i]);
            addWidget(panel, 1);
        } else {
            panel->setFixedWidth(panelWidths[i]);
            addWidget(panel);
        }
        m_panels.append(panel);
        m_texts.append(QString());
    }
}

QString TStatusBar::panelText(int i) const
{
    return i >= 0 && i < m_texts.size() ? m_texts[i] : QString();
}

void TStatusBar::setPanelText(int i, const QString& text)
{
    if (i < 0 || i >= m_panels.size())
        return;
    m_texts[i] = text;
    showPanelText(i);
}

void TStatusBar::showPanelText(int i)
{
    // A text too long for its panel is shortened in the middle, so both the beginning and
    // the end (a file name) stay readable.
    QLabel* panel = m_panels[i];
    const int room = panel->contentsRect().width() - 2 * panel->margin() - 4;
    panel->setText(panel->fontMetrics().elidedText(m_texts[i], Qt::ElideMiddle, std::max(room, 0)));
}

void TStatusBar::resizeEvent(QResizeEvent* event)
{
    // The last panel's width follows the bar's (the others are fixed).
    QStatusBar::resizeEvent(event);
    if (!m_panels.isEmpty())
        showPanelText(static_cast<int>(m_panels.size()) - 1);
}

void TStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    QStatusBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

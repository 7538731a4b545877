// The texts a chart draws, as the user reads them: for tests that titles are shown whole.
#pragma once

#include <QChartView>
#include <QGraphicsTextItem>
#include <QStringList>

namespace emforce {

/// The visible texts of a chart view's scene, each on one line with its spaces collapsed.
inline QStringList drawnTexts(const QChartView& view) {
    QStringList texts;
    for (const QGraphicsItem* item : view.scene()->items())
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            text && text->isVisible())
            texts << text->toPlainText().replace(QChar::LineSeparator, u' ').simplified();
    texts.removeAll(QString());
    return texts;
}

}  // namespace emforce

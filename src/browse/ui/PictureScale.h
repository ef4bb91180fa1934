#pragma once
// How a picture is fitted into a box, for the preview and the thumbnails: a large picture is
// shrunk smoothly; a small one is enlarged at most twice, and without smoothing while its longer
// side is below kSharpBelow pixels, so that an emoticon's pixels stay sharp instead of blurring.
#include <QSize>
#include <algorithm>

namespace zorvak {

constexpr int kSharpBelow = 48;

// The size `own` is shown at in `box` (proportions kept or not): never more than twice `own`.
inline QSize FittedSize(QSize own, QSize box, Qt::AspectRatioMode mode = Qt::KeepAspectRatio)
{
    if (own.isEmpty() || box.isEmpty())
        return own;
    QSize shown = own.scaled(box, mode);
    if (shown.width() > 2 * own.width() || shown.height() > 2 * own.height())
        shown = mode == Qt::KeepAspectRatio ? own * 2 : shown.boundedTo(own * 2);
    return shown.expandedTo(QSize(1, 1));
}

// Smoothing when shrinking, or when enlarging a picture big enough for it to look right.
inline Qt::TransformationMode Transformation(QSize own, QSize shown)
{
    const bool enlarged = shown.width() > own.width() || shown.height() > own.height();
    return enlarged && std::max(own.width(), own.height()) < kSharpBelow ? Qt::FastTransformation
                                                                         : Qt::SmoothTransformation;
}

} // namespace zorvak

#pragma once
// Small helpers of the browsing side that other windows use too: the tree walk, label hints, the
// program that opens an extension, and the picture of an image control.
#include "browse/ui/FolderTree.h"

#include <QSize>
#include <QString>

class QLabel;
class QWidget;

namespace zorvak::browse {

// Label hints ("\r" shown as line breaks).
void SetHint(QWidget *widget, const QString &text);
// The program the platform opens files of `extension` with; empty when none.
QString GetOpenCommand(const QString &extension);
// The picture of an image control (its TPreview).
void LoadPicture(QLabel *image, const QString &path);
bool HasPicture(const QLabel *image);
QSize PictureSize(const QLabel *image);

} // namespace zorvak::browse

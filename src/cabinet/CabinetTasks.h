#pragma once
// The two cabinet operations of the main window, on the window's cabinet component.
#include "cabinet/cabfiles.h"

namespace zorvak {

// The limits of an extraction made only to show a cabinet (its list and previews): a cabinet of
// a few kilobytes can claim gigabytes, which are never written nor decoded.
inline const TCABFile::TExtractLimits PreviewLimits{32LL << 20, 64LL << 20, 128LL << 20, {}};

// Lists `cabinet` into cab.CABFileContents and extracts its files below `folder`, within
// PreviewLimits. The outcome is not reported (a damaged or missing cabinet, or one past the
// limits, simply yields fewer files).
void ExtractCabinetTo(TCABFile &cab, const QString &cabinet, const QString &folder);

// Lists `cabinet` and extracts below `folder` only its first file at the root (by name) that
// `isPicture` accepts and that fits `limits`; returns the extracted file's path, or "" when
// there is none.
QString ExtractFirstPicture(TCABFile &cab, const QString &cabinet, const QString &folder,
                            const std::function<bool(const QString &name)> &isPicture, TCABFile::TExtractLimits limits);

// Packs every plain, non-hidden file directly in `folder` into `cabinet` (sorted by name, at the
// cabinet's root) with the component's compression. When keepExisting is false an existing file
// at `cabinet` is deleted first. Returns the result of CreateCabinet; its ECABFileError (for
// example for an empty folder) passes to the caller.
bool PackFolder(TCABFile &cab, const QString &folder, const QString &cabinet, bool keepExisting);

} // namespace zorvak

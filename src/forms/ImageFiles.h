#pragma once

#include "forms/Picture.h"

#include <QString>

namespace forms {

// The largest image Open decodes. Qt's own default (128 MB) refuses an 8K screenshot;
// this still refuses a file that declares an absurd size before any memory is taken.
constexpr int kPictureAllocationLimitMB = 1024;

// A picture read from a file, or the reason it could not be read.
struct LoadedPicture {
    forms::Picture picture;
    QString error; // empty on success
};

// Reads any image file Qt can decode (GIF, JPEG and BMP among them).
LoadedPicture LoadPicture(const QString& path);

// Writes picture as a Windows bitmap file at exactly path, replacing an existing file.
// Returns the reason on failure, an empty string on success. A failed write leaves an
// existing file untouched.
QString SavePicture(const forms::Picture& picture, const QString& path);

} // namespace forms

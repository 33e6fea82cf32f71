#pragma once
// Puts a picture on a printed page through Qt Print Support: one page, the picture stretched
// from 100 printer pixels in, sized by the printer's resolution and the picture's DPI.
#include <QImage>
#include <string>

class QPrinter;

namespace quillet {

class RaViru;

// `picture` as PrintPicture() makes it (flattened on white, carrying its DPI). False with the
// reason in `error` when the printer could not be started.
bool PrintPictureOn(QPrinter& printer, const RaViru& picture, std::string* error = nullptr);
// The same for a picture already converted for Qt, with its DPI given.
bool PrintImageOn(QPrinter& printer, const QImage& image, int dpiX, int dpiY,
                  std::string* error = nullptr);

}  // namespace quillet

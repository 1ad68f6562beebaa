// Turns an image XObject or inline image into file bytes a document can embed: DCT data is
// passed on as the JPEG it is; other images (CCITT fax and JBIG2 data included) are decoded and
// written as PNG. Images in a codec neither form can carry (JPX) are left out.
#ifndef HALVANE_IMAGE_ENCODER_H
#define HALVANE_IMAGE_ENCODER_H

#include <string>

#include "halvane/content/content_interpreter.h"
#include "halvane/document/document_file.h"

namespace halvane {

bool EncodeImage(Document& doc, const ImageEvent& image, std::string* out);

}  // namespace halvane

#endif

// A Word document being built: paragraphs of text runs, line breaks and inline pictures,
// page breaks, and Save, which writes the whole package to the target path at once.
//
// Memory: the body is compressed into a scratch file paragraph by paragraph, pictures go to
// another scratch file, so a document holds only the paragraph being built, the compressor's
// state (about 300 KB) and a few dozen bytes per distinct picture, whatever its length.
#ifndef MORVANE_STROME_CORE_DOCUMENT_H
#define MORVANE_STROME_CORE_DOCUMENT_H

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>

#include "document_body.h"
#include "formats.h"
#include "media_store.h"
#include "relationships.h"

namespace strome {

class Document {
public:
    // Null when the target path is empty, its folder cannot take a new file, or no document
    // can be started.
    static std::unique_ptr<Document> Create(const std::u16string& targetPath);

    // Starts a paragraph and returns its id (never 0). One paragraph is open at a time:
    // starting another completes the open one, after which calls with its id do nothing.
    int BeginParagraph(const ParagraphFormat& format);
    // Changes the format of the open paragraph before any of its content is added.
    bool SetParagraphFormat(int paragraph, const ParagraphFormat& format);
    bool AddText(int paragraph, const char16_t* text, size_t length, const RunFormat& format);
    bool AddLineBreak(int paragraph);
    // Places picture (an index from AddPictureData) at the given size in points, scaled down
    // (keeping its proportions) when it would not fit in the page's text area.
    bool AddPicture(int paragraph, int picture, int64_t widthPoints, int64_t heightPoints);
    void EndParagraph(int paragraph);
    void AddPageBreak();

    // Keeps a copy of PNG or JPEG bytes; -1 when they are neither (the picture is left out).
    int AddPictureData(const void* data, size_t size);

    // Writes the package. After the first Save the content is fixed; Save may be repeated.
    bool Save();
    // Largest package Save may write; tests lower it.
    void SetSizeLimitForTesting(uint64_t bytes) { sizeLimit_ = bytes; }

    int paragraphCount() const { return paragraphCount_; }

private:
    explicit Document(std::u16string targetPath);
    bool IsOpen(int paragraph) const { return paragraph != 0 && paragraph == openParagraph_ && !finished_; }
    bool WritePackage(ByteSink& out);

    std::u16string targetPath_;
    const PageLayout page_;
    DocumentBody body_;
    MediaStore media_;
    Relationships documentRels_;
    int openParagraph_ = 0;
    int paragraphCount_ = 0;
    bool finished_ = false;
    uint64_t sizeLimit_ = 0xFFFFFFFFu;
    time_t created_;
};

}  // namespace strome

#endif

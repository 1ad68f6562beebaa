#include "package_parts.h"

#include "ooxml_names.h"
#include "xml_writer.h"

namespace strome {

std::string StylesXml()
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("w:styles").Attr("xmlns:w", ns::kWordMain);
    x.Open("w:docDefaults");
    x.Open("w:rPrDefault").Open("w:rPr");
    x.Open("w:rFonts")
        .Attr("w:ascii", kDefaultLatinFont)
        .Attr("w:hAnsi", kDefaultLatinFont)
        .Attr("w:eastAsia", kDefaultEastAsianFont)
        .Attr("w:cs", kDefaultLatinFont)
        .Close();
    x.Open("w:sz").Attr("w:val", int64_t(kDefaultHalfPoints)).Close();
    x.Open("w:szCs").Attr("w:val", int64_t(kDefaultHalfPoints)).Close();
    x.Open("w:lang").Attr("w:val", "en-US").Attr("w:eastAsia", "zh-CN").Attr("w:bidi", "ar-SA").Close();
    x.Close().Close();
    // Single line spacing and no space after paragraphs: the gaps come from the page. No
    // widow and orphan control, which would push a paragraph's last lines onto the next page,
    // and no extra space between Chinese and Latin text: the PDF's text carries its own spaces.
    x.Open("w:pPrDefault").Open("w:pPr");
    x.Open("w:widowControl").Attr("w:val", "0").Close();
    x.Open("w:autoSpaceDE").Attr("w:val", "0").Close();
    x.Open("w:autoSpaceDN").Attr("w:val", "0").Close();
    x.Open("w:spacing").Attr("w:after", int64_t(0)).Attr("w:line", int64_t(240)).Attr("w:lineRule", "auto").Close();
    x.Close().Close();
    x.Close();  // w:docDefaults
    x.Open("w:style").Attr("w:type", "paragraph").Attr("w:default", "1").Attr("w:styleId", "Normal");
    x.Open("w:name").Attr("w:val", "Normal").Close();
    x.Open("w:qFormat").Close();
    x.Close();
    // Headings carry only their outline level: Word's navigation and other readers see them,
    // and their look comes from the paragraph's own format, as on the page.
    for (int level = 1; level <= 6; ++level) {
        x.Open("w:style").Attr("w:type", "paragraph").Attr("w:styleId", "Heading" + std::to_string(level));
        x.Open("w:name").Attr("w:val", "heading " + std::to_string(level)).Close();
        x.Open("w:basedOn").Attr("w:val", "Normal").Close();
        x.Open("w:next").Attr("w:val", "Normal").Close();
        x.Open("w:uiPriority").Attr("w:val", "9").Close();
        x.Open("w:qFormat").Close();
        x.Open("w:pPr").Open("w:outlineLvl").Attr("w:val", int64_t(level - 1)).Close().Close();
        x.Close();
    }
    x.Open("w:style").Attr("w:type", "character").Attr("w:default", "1").Attr("w:styleId", "DefaultParagraphFont");
    x.Open("w:name").Attr("w:val", "Default Paragraph Font").Close();
    x.Open("w:uiPriority").Attr("w:val", "1").Close();
    x.Open("w:semiHidden").Close();
    x.Open("w:unhideWhenUsed").Close();
    x.Close();
    x.Close();
    return out;
}

std::string SettingsXml(bool footnotes)
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("w:settings").Attr("xmlns:w", ns::kWordMain);
    x.Open("w:zoom").Attr("w:percent", "100").Close();
    x.Open("w:defaultTabStop").Attr("w:val", "420").Close();
    x.Open("w:characterSpacingControl").Attr("w:val", "doNotCompress").Close();
    if (footnotes) {
        // The separator footnotes of footnotes.xml.
        x.Open("w:footnotePr");
        x.Open("w:footnote").Attr("w:id", int64_t(0)).Close();
        x.Open("w:footnote").Attr("w:id", int64_t(1)).Close();
        x.Close();
    }
    x.Open("w:compat");
    // A justified line that ends in a line break keeps its natural spacing, as on the page,
    // instead of being stretched to the margin.
    x.Open("w:doNotExpandShiftReturn").Close();
    x.Open("w:compatSetting")
        .Attr("w:name", "compatibilityMode")
        .Attr("w:uri", "http://schemas.microsoft.com/office/word")
        .Attr("w:val", "15")
        .Close();
    x.Close();
    x.Open("w:themeFontLang").Attr("w:val", "en-US").Attr("w:eastAsia", "zh-CN").Close();
    x.Close();
    return out;
}

std::string CorePropertiesXml(time_t created)
{
    char stamp[32] = "2000-01-01T00:00:00Z";
    struct tm utc;
#ifdef _WIN32
    bool haveTime = gmtime_s(&utc, &created) == 0;
#else
    bool haveTime = gmtime_r(&created, &utc) != nullptr;
#endif
    if (haveTime)
        strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("cp:coreProperties")
        .Attr("xmlns:cp", ns::kCoreProps)
        .Attr("xmlns:dc", ns::kDublinCore)
        .Attr("xmlns:dcterms", ns::kDcTerms)
        .Attr("xmlns:dcmitype", ns::kDcmiType)
        .Attr("xmlns:xsi", ns::kXsi);
    x.Leaf("dc:creator", "Morvane");
    x.Open("dcterms:created").Attr("xsi:type", "dcterms:W3CDTF").Text(stamp).Close();
    x.Open("dcterms:modified").Attr("xsi:type", "dcterms:W3CDTF").Text(stamp).Close();
    x.Close();
    return out;
}

std::string AppPropertiesXml()
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("Properties").Attr("xmlns", ns::kExtendedProps).Attr("xmlns:vt", ns::kDocPropsVTypes);
    x.Leaf("Application", "Strome");
    x.Leaf("DocSecurity", "0");
    x.Close();
    return out;
}

}  // namespace strome

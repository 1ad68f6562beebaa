#include "package_checks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "writer_calls.h"

namespace {

std::string AttributeValues(const std::string& xml, const std::string& attribute, std::vector<std::string>& out)
{
    const std::string key = attribute + "=\"";
    for (size_t at = xml.find(key); at != std::string::npos; at = xml.find(key, at + 1)) {
        if (at > 0 && xml[at - 1] != ' ')
            continue;  // "w:id" inside "r:w:id" and the like
        size_t begin = at + key.size();
        out.push_back(xml.substr(begin, xml.find('"', begin) - begin));
    }
    return std::string();
}

// "word/_rels/document.xml.rels" -> "word/document.xml"; "_rels/.rels" -> "".
std::string SourceOf(const std::string& rels)
{
    size_t slash = rels.rfind("_rels/");
    std::string folder = rels.substr(0, slash);
    std::string name = rels.substr(slash + 6);
    return name == ".rels" ? "" : folder + name.substr(0, name.size() - 5);
}

std::string FolderOf(const std::string& part)
{
    size_t slash = part.rfind('/');
    return slash == std::string::npos ? "" : part.substr(0, slash + 1);
}

bool IsNameEnd(char c)
{
    return c == ' ' || c == '>' || c == '/';
}

}  // namespace

void ExpectSoundPackage(const Package& p)
{
    const std::string& types = p.Part("[Content_Types].xml");
    for (const std::string& name : p.names) {
        size_t dot = name.rfind('.');
        std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
        bool typed = types.find("PartName=\"/" + name + "\"") != std::string::npos ||
                     types.find("Extension=\"" + ext + "\"") != std::string::npos;
        EXPECT_TRUE(typed || name == "[Content_Types].xml") << "no content type for " << name;
        if (ext == "xml" || ext == "rels") {
            EXPECT_EQ(XmlProblem(p.Part(name)), "") << name;
        }
    }
    std::vector<std::string> overrides;
    AttributeValues(types, "PartName", overrides);
    for (const std::string& o : overrides)
        EXPECT_TRUE(p.Has(o.substr(1))) << "override of a missing part " << o;
    ASSERT_FALSE(p.Part("_rels/.rels").empty());
    ASSERT_FALSE(p.Part("word/_rels/document.xml.rels").empty());
    for (const std::string& rels : p.names) {
        if (rels.size() < 5 || rels.compare(rels.size() - 5, 5, ".rels") != 0)
            continue;
        const std::string& xml = p.Part(rels);
        const std::string source = SourceOf(rels);
        std::vector<std::string> targets, ids;
        AttributeValues(xml, "Target", targets);
        AttributeValues(xml, "Id", ids);
        for (const std::string& target : targets)
            EXPECT_TRUE(p.Has(FolderOf(source) + target)) << rels << " -> " << target;
        if (source.empty())
            continue;
        const std::string& part = p.Part(source);
        std::vector<std::string> used;
        AttributeValues(part, "r:embed", used);
        AttributeValues(part, "r:id", used);
        for (const std::string& id : used)
            EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << source << " uses " << id;
    }
}

std::vector<std::string> Elements(const std::string& xml, const std::string& name)
{
    std::vector<std::string> out;
    const std::string open = "<" + name, close = "</" + name + ">";
    size_t at = 0;
    while ((at = xml.find(open, at)) != std::string::npos) {
        if (at + open.size() >= xml.size() || !IsNameEnd(xml[at + open.size()])) {
            at += open.size();
            continue;
        }
        size_t tagEnd = xml.find('>', at);
        if (tagEnd == std::string::npos)
            break;
        if (xml[tagEnd - 1] == '/') {
            out.push_back(xml.substr(at, tagEnd + 1 - at));
            at = tagEnd + 1;
            continue;
        }
        int depth = 1;
        size_t pos = tagEnd + 1;
        while (depth > 0) {
            size_t nextOpen = xml.find(open, pos), nextClose = xml.find(close, pos);
            if (nextClose == std::string::npos) {
                pos = xml.size();
                break;
            }
            if (nextOpen != std::string::npos && nextOpen < nextClose) {
                size_t e = xml.find('>', nextOpen);
                if (IsNameEnd(xml[nextOpen + open.size()]) && e != std::string::npos && xml[e - 1] != '/')
                    ++depth;
                pos = nextOpen + open.size();
            } else {
                --depth;
                pos = nextClose + close.size();
            }
        }
        out.push_back(xml.substr(at, pos - at));
        at = pos;
    }
    return out;
}

std::string FirstElement(const std::string& xml, const std::string& name)
{
    std::vector<std::string> all = Elements(xml, name);
    return all.empty() ? std::string() : all.front();
}

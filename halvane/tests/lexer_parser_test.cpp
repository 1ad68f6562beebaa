#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "halvane/syntax/lexer.h"
#include "halvane/syntax/parser.h"

namespace halvane {
namespace {

Object ParseOne(const std::string& text, bool allowRefs = true)
{
    Lexer lexer(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    Parser parser(lexer, allowRefs);
    Object obj;
    parser.ParseObject(&obj);
    return obj;
}

TEST(Lexer, ReadsNumbersAsProducersWriteThem)
{
    struct Case {
        const char* text;
        TokType type;
        double value;
    } cases[] = {
        {"42", TokType::Int, 42},      {"-17", TokType::Int, -17},    {"+3", TokType::Int, 3},
        {"3.25", TokType::Real, 3.25}, {"-.5", TokType::Real, -0.5},  {"4.", TokType::Real, 4},
        {"--5", TokType::Int, -5},     {"1.5.2", TokType::Real, 1.5}, {"99999999999999999999", TokType::Real, 1e20},
    };
    for (const Case& c : cases) {
        Lexer lexer(reinterpret_cast<const uint8_t*>(c.text), std::strlen(c.text));
        Token tok;
        ASSERT_TRUE(lexer.Next(tok)) << c.text;
        EXPECT_EQ(tok.type, c.type) << c.text;
        EXPECT_NEAR(tok.r, c.value, std::fabs(c.value) * 1e-9) << c.text;
    }
}

TEST(Lexer, DecodesStringsAndNames)
{
    struct Case {
        const char* text;
        TokType type;
        std::string value;
    } cases[] = {
        {"(a\\(b\\)c)", TokType::String, "a(b)c"},
        {"(nested (parens) ok)", TokType::String, "nested (parens) ok"},
        {"(\\101\\12x\\0)", TokType::String, std::string("A\nx\0", 4)},
        {"(line\\\ncontinues)", TokType::String, "linecontinues"},
        {"(cr\r\nlf)", TokType::String, "cr\nlf"},
        {"<48 65 6c6C6f>", TokType::String, "Hello"},
        {"<414>", TokType::String, "A@"},
        {"/Name#20With#2FHash", TokType::Name, "Name With/Hash"},
        {"/", TokType::Name, ""},
        {"(unterminated", TokType::String, "unterminated"},
    };
    for (const Case& c : cases) {
        Lexer lexer(reinterpret_cast<const uint8_t*>(c.text), std::strlen(c.text));
        Token tok;
        ASSERT_TRUE(lexer.Next(tok)) << c.text;
        EXPECT_EQ(tok.type, c.type) << c.text;
        EXPECT_EQ(tok.text, c.value) << c.text;
    }
}

TEST(Lexer, SkipsCommentsAndReportsStrayDelimiters)
{
    const std::string text = "% comment\n ) { 12";
    Lexer lexer(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    Token tok;
    ASSERT_TRUE(lexer.Next(tok));
    EXPECT_EQ(tok.type, TokType::Bad);
    ASSERT_TRUE(lexer.Next(tok));
    EXPECT_EQ(tok.type, TokType::Bad);
    ASSERT_TRUE(lexer.Next(tok));
    EXPECT_EQ(tok.type, TokType::Int);
    EXPECT_FALSE(lexer.Next(tok));
}

TEST(Parser, BuildsDictionariesArraysAndReferences)
{
    const Object obj = ParseOne("<< /Type /Page /Kids [1 0 R 2 0 R 3] /Size 4.5 /Flag true /Nothing null >>");
    ASSERT_TRUE(obj.IsDict());
    EXPECT_TRUE(obj["Type"].IsName("Page"));
    ASSERT_EQ(obj["Kids"].ArraySize(), 2u + 1u);
    EXPECT_TRUE(obj["Kids"].At(0).IsRef());
    EXPECT_EQ(obj["Kids"].At(1).GetRef().num, 2);
    EXPECT_TRUE(obj["Kids"].At(2).IsInt());
    EXPECT_DOUBLE_EQ(obj["Size"].GetNumber(), 4.5);
    EXPECT_TRUE(obj["Flag"].GetBool());
    EXPECT_TRUE(obj["Nothing"].IsNull());
    EXPECT_TRUE(obj["Missing"].IsNull());
}

TEST(Parser, ContentStreamsHaveNoReferences)
{
    const Object obj = ParseOne("[1 0 R]", false);
    ASSERT_EQ(obj.ArraySize(), 2u);  // "R" is not a value there
    EXPECT_TRUE(obj.At(0).IsInt());
}

TEST(Parser, SurvivesDamagedAndDeeplyNestedInput)
{
    const Object damaged = ParseOne("<< /A 1 /B >> ");
    EXPECT_TRUE(damaged.IsDict());
    EXPECT_EQ(damaged["A"].GetInt(), 1);
    // Far deeper than any real file: parsed without recursion trouble, the depth is cut off.
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const Object nested = ParseOne(deep);
    EXPECT_TRUE(nested.IsArray());
    const std::string deepDicts = [] {
        std::string s;
        for (int i = 0; i < 50000; ++i)
            s += "<</A ";
        return s;
    }();
    EXPECT_TRUE(ParseOne(deepDicts).IsDict());
}

TEST(Parser, ReadsIndirectObjectsWithStreams)
{
    const std::string text = "7 0 obj\n<< /Length 5 >>\nstream\r\nhello\nendstream\nendobj";
    Lexer lexer(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    Parser parser(lexer, true);
    Ref ref;
    Object obj;
    size_t start = 0;
    ASSERT_TRUE(parser.ParseIndirect(&ref, &obj, &start));
    EXPECT_EQ(ref.num, 7);
    ASSERT_TRUE(obj.IsStream());
    EXPECT_EQ(text.substr(start, 5), "hello");
}

}  // namespace
}  // namespace halvane

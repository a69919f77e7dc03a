#include <gtest/gtest.h>

#include <algorithm>

#include "engine/codepage.h"
#include "richtext/rtf.h"
#include "test_texts.h"

namespace tessary {
namespace {

CRichText Read(std::string_view rtf, int nAnsiCodePage = 1252) {
  auto text = ReadRtf(rtf, nAnsiCodePage);
  EXPECT_TRUE(text) << text.Error();
  return text ? *text : CRichText();
}

std::u16string TextOf(const CParagraph& para) {
  std::u16string text;
  for (const CTextRun& run : para.m_arrRuns) text += run.m_wstrText;
  return text;
}

// The paragraphs' texts joined by '|'.
std::u16string TextOf(const CRichText& doc) {
  std::u16string text;
  for (const CParagraph& para : doc.m_arrParagraphs) {
    if (!text.empty()) text += u'|';
    text += TextOf(para);
  }
  return text;
}

const CTextRun* FindRun(const CRichText& doc, std::u16string_view text) {
  for (const CParagraph& para : doc.m_arrParagraphs)
    for (const CTextRun& run : para.m_arrRuns)
      if (run.m_wstrText == text) return &run;
  return nullptr;
}

// The text of the sample's HTML twin, one string per block, whitespace collapsed as a
// browser shows it and <br> as the line separator.
std::vector<std::u16string> HtmlBlocks(const std::string& html) {
  const std::size_t body = html.find("<body>") + 6;
  std::vector<std::u16string> blocks;
  std::string block;
  auto endBlock = [&] {
    std::string collapsed;
    for (char c : block) {
      const bool bSpace = c == ' ' || c == '\t' || c == '\n' || c == '\r';
      if (bSpace && (collapsed.empty() || collapsed.back() == ' ')) continue;
      collapsed += bSpace ? ' ' : c;
    }
    if (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
    if (!collapsed.empty()) blocks.push_back(Utf8ToUtf16(collapsed));
    block.clear();
  };
  for (std::size_t i = body; i < html.size();) {
    if (html[i] == '<') {
      const std::size_t end = html.find('>', i);
      const std::string tag = html.substr(i + 1, end - i - 1);
      if (tag == "/p" || tag == "/h1" || tag == "/li") endBlock();
      if (tag == "br") block += "\u2028";
      i = end + 1;
    } else if (html[i] == '&') {
      const std::size_t end = html.find(';', i);
      const std::string entity = html.substr(i + 1, end - i - 1);
      block += entity == "mdash" ? "\u2014" : entity == "amp" ? "&" : "?";
      i = end + 1;
    } else {
      block += html[i++];
    }
  }
  return blocks;
}

TEST(RtfSample, TextMatchesTheHtmlVersion) {
  const CRichText doc = Read(test::ReadDataFile("sample.rtf"));
  const std::vector<std::u16string> html = HtmlBlocks(test::ReadDataFile("sample.html"));
  ASSERT_EQ(doc.m_arrParagraphs.size(), html.size());
  for (std::size_t i = 0; i < html.size(); ++i) EXPECT_EQ(TextOf(doc.m_arrParagraphs[i]), html[i]) << i;
}

TEST(RtfSample, RunsKeepTheirFormats) {
  const CRichText doc = Read(test::ReadDataFile("sample.rtf"));
  ASSERT_EQ(doc.m_arrParagraphs.size(), 8u);
  const CTextRun* heading = FindRun(doc, u"Reading notes");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->m_format.m_strFace, "Liberation Serif");
  EXPECT_EQ(heading->m_format.m_nHalfPoints, 48);
  EXPECT_TRUE(heading->m_format.m_bBold);

  const CTextRun* river = FindRun(doc, u"river");
  ASSERT_TRUE(river);
  EXPECT_TRUE(river->m_format.m_bBold);
  EXPECT_FALSE(river->m_format.m_bItalic);
  EXPECT_EQ(river->m_format.m_nHalfPoints, 24);
  ASSERT_TRUE(FindRun(doc, u"old mill"));
  EXPECT_TRUE(FindRun(doc, u"old mill")->m_format.m_bItalic);
  ASSERT_TRUE(FindRun(doc, u"miller"));
  EXPECT_TRUE(FindRun(doc, u"miller")->m_format.m_bUnderline);
  const CTextRun* quote = FindRun(doc, u"\"Mind the bank!\"");
  ASSERT_TRUE(quote);
  EXPECT_FALSE(quote->m_format.m_bAutoColor);
  EXPECT_EQ(quote->m_format.m_crColor, 0xC00000u);
  const CTextRun* plain = FindRun(doc, u" Then he left the village.");
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->m_format.m_bAutoColor);
  EXPECT_FALSE(plain->m_format.m_bBold || plain->m_format.m_bUnderline);

  const CParagraph& fixed = doc.m_arrParagraphs[2];
  ASSERT_EQ(fixed.m_arrRuns.size(), 1u);
  EXPECT_EQ(fixed.m_arrRuns[0].m_format.m_strFace, "Courier New");
  EXPECT_EQ(fixed.m_arrRuns[0].m_format.m_nHalfPoints, 20);
  const CParagraph& accents = doc.m_arrParagraphs[3];
  ASSERT_EQ(accents.m_arrRuns.size(), 1u);
  EXPECT_EQ(accents.m_arrRuns[0].m_format.m_strFace, "Times New Roman");
  EXPECT_EQ(accents.m_arrRuns[0].m_format.m_nHalfPoints, 28);
  // Text without a font of its own is in the default font (\deff3).
  EXPECT_EQ(doc.m_arrParagraphs[4].m_arrRuns.back().m_format.m_strFace, "Liberation Serif");

  for (int i : {5, 6}) {
    const CParagraph& item = doc.m_arrParagraphs[i];
    EXPECT_TRUE(item.m_bBullet) << i;
    EXPECT_EQ(item.m_nLeftIndentTwips, 709);
    EXPECT_EQ(item.m_nFirstIndentTwips, -283);
  }
  EXPECT_FALSE(doc.m_arrParagraphs[7].m_bBullet);
  EXPECT_EQ(doc.m_arrParagraphs[7].m_nLeftIndentTwips, 0);
  const CTextRun* blue = FindRun(doc, u"Bold italic underlined blue.");
  ASSERT_TRUE(blue);
  EXPECT_TRUE(blue->m_format.m_bBold && blue->m_format.m_bItalic && blue->m_format.m_bUnderline);
  EXPECT_EQ(blue->m_format.m_crColor, 0x0000FFu);
}

TEST(RtfReader, RefusesOtherText) {
  auto text = ReadRtf("Hello {\\rtf1}");
  ASSERT_FALSE(text);
  EXPECT_EQ(text.Error(), "This is not an RTF document.");
  EXPECT_EQ(Read("{\\rtf1}").m_arrParagraphs.size(), 1u);
}

TEST(RtfReader, ControlWordsSymbolsAndEscapes) {
  EXPECT_EQ(TextOf(Read("{\\rtf1 a\\{b\\}c\\\\d\\tab e\\~f\\-g\\_h}")), u"a{b}c\\d\te\u00A0f\u00ADg\u2011h");
  // The space after a control word delimits it; a second one is text.
  EXPECT_EQ(TextOf(Read("{\\rtf1 \\emdash  x\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}")),
            u"\u2014 x\u2013\u2018\u2019\u201C\u201D\u2022");
  EXPECT_EQ(TextOf(Read("{\\rtf1 one\\line two}")), u"one\u2028two");
  EXPECT_EQ(TextOf(Read("{\\rtf1 \\unknownword12 x\\unknown-3y}")), u"xy");
}

TEST(RtfReader, UnicodeEscapesAndTheirFallbacks) {
  // \uc1 by default; negative numbers are the upper half; a pair makes one character.
  EXPECT_EQ(TextOf(Read("{\\rtf1 caf\\u233?s \\u-4064?\\u-10179?\\u-8704?}")), u"caf\u00E9s \uF020\U0001F600");
  EXPECT_EQ(TextOf(Read("{\\rtf1 \\uc2\\u20013\\'d6\\'d0x\\uc0\\u25991 y}")), u"\u4E2Dx\u6587y");
  // A control word counts as one fallback character; a group's end stops the skipping.
  EXPECT_EQ(TextOf(Read("{\\rtf1 \\u8226\\tab x{\\uc3\\u8212 ab}c}")), u"\u2022x\u2014c");
  EXPECT_EQ(TextOf(Read("{\\rtf1 {\\uc2 \\u8212 a}bc}")), u"\u2014bc");
}

TEST(RtfReader, BytesDecodeInTheFontsCodePage) {
  const char* rtf =
      "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}"
      "{\\f2\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}{\\f3\\fcharset2 Symbol;}}"
      "\\f0 \\'e9\\f1 \\'e4\\'e0 \\f2 \\'82\\'a0\\'83\\\\\\'83A\\f3 \\'b7}";
  const CRichText doc = Read(rtf);
  EXPECT_EQ(TextOf(doc), u"\u00E9\u0434\u0430 \u3042\u30BD\u30A2\u00B7");
  ASSERT_EQ(doc.m_arrParagraphs[0].m_arrRuns.size(), 4u);
  EXPECT_EQ(doc.m_arrParagraphs[0].m_arrRuns[2].m_format.m_strFace, "\uFF2D\uFF33 \u660E\u671D");
  // Without \ansicpg the caller's page decodes charset 0; with it, the document's.
  EXPECT_EQ(TextOf(Read("{\\rtf1\\ansi \\'e4}", 1251)), u"\u0434");
  EXPECT_EQ(TextOf(Read("{\\rtf1\\ansi\\ansicpg1253 \\'e4}", 1251)), u"\u03B4");
  // Raw double-byte text from older writers, with a trail byte that is a backslash.
  EXPECT_EQ(TextOf(Read("{\\rtf1\\ansicpg932 \x83\x5C\x82\xA0}")), u"\u30BD\u3042");
}

TEST(RtfReader, DestinationsWithoutTextAreSkipped) {
  const char* rtf =
      "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\*\\generator G;}"
      "{\\*\\unknown U}{\\header H}{\\pict\\bin3 }{x 0a}"
      "A{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt B}}C{\\v hidden}{\\footnote F}D{\\*\\bkmkstart b}E}";
  EXPECT_EQ(TextOf(Read(rtf)), u"ABCDE");
}

TEST(RtfReader, FormatsAreScopedByGroups) {
  const char* rtf =
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier{\\*\\falt Mono};}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}"
      "a{\\b\\i\\ul\\fs32\\cf1\\f1 b{\\b0\\ulnone c}}d\\ul\\ulc2 e\\ul0\\cf2 f\\cf0 g\\b h\\plain i}";
  const CRichText doc = Read(rtf);
  const auto& runs = doc.m_arrParagraphs.at(0).m_arrRuns;
  ASSERT_EQ(runs.size(), 9u);
  EXPECT_EQ(runs[0].m_wstrText, u"a");
  EXPECT_EQ(runs[0].m_format, CCharFormat{"Arial"});
  CCharFormat b{"Courier", 32, 0xFF0000, false, true, true, true};
  EXPECT_EQ(runs[1].m_format, b);
  b.m_bBold = b.m_bUnderline = false;
  EXPECT_EQ(runs[2].m_format, b);
  EXPECT_EQ(runs[3].m_wstrText, u"d");
  EXPECT_TRUE(runs[4].m_format.m_bUnderline);  // \ulc is only the underline's colour
  EXPECT_EQ(runs[5].m_format, (CCharFormat{"Arial", 24, 0, false}));
  EXPECT_EQ(runs[6].m_wstrText, u"g");  // \cf0: the automatic first entry
  EXPECT_TRUE(runs[6].m_format.m_bAutoColor);
  EXPECT_TRUE(runs[7].m_format.m_bBold);
  EXPECT_EQ(runs[8].m_wstrText, u"i");  // \plain: back to the default font's plain text
  EXPECT_EQ(runs[8].m_format, runs[0].m_format);
}

TEST(RtfReader, ParagraphsAndTheirProperties) {
  const CRichText doc = Read(
      "{\\rtf1\\pard\\qc\\li720\\fi-360 one\\par two\\par\\pard\\qr three\\par\\pard\\qj\\par\n\\pard four\\par}");
  ASSERT_EQ(TextOf(doc), u"one|two|three||four");
  EXPECT_EQ(doc.m_arrParagraphs[0].m_alignment, Alignment::kCenter);
  EXPECT_EQ(doc.m_arrParagraphs[1].m_nLeftIndentTwips, 720);
  EXPECT_EQ(doc.m_arrParagraphs[1].m_nFirstIndentTwips, -360);
  EXPECT_EQ(doc.m_arrParagraphs[2].m_alignment, Alignment::kRight);
  EXPECT_EQ(doc.m_arrParagraphs[2].m_nLeftIndentTwips, 0);
  EXPECT_EQ(doc.m_arrParagraphs[3].m_alignment, Alignment::kJustify);
  // A last paragraph without a mark still counts; a table row is one tab-separated paragraph.
  EXPECT_EQ(TextOf(Read("{\\rtf1 a\\par b}")), u"a|b");
  EXPECT_EQ(TextOf(Read("{\\rtf1\\trowd\\intbl x\\cell y\\cell\\row z}")), u"x\ty|z");
}

TEST(RtfReader, BulletMarkersBecomeTheBulletProperty) {
  // An older editor's list: the marker text and the numbering definition.
  const CRichText old = Read(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\pard{\\pntext\\f1\\'B7\\tab}"
      "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 first\\par"
      "{\\pntext\\f1\\'B7\\tab}second\\par\\pard after\\par}");
  EXPECT_EQ(TextOf(old), u"first|second|after");
  EXPECT_TRUE(old.m_arrParagraphs[0].m_bBullet);
  EXPECT_TRUE(old.m_arrParagraphs[1].m_bBullet);
  EXPECT_EQ(old.m_arrParagraphs[1].m_nLeftIndentTwips, 720);
  EXPECT_FALSE(old.m_arrParagraphs[2].m_bBullet);
  // A word processor's list: \pard inside the marker's group leaves the paragraph alone.
  const CRichText lists = Read(
      "{\\rtf1\\pard\\fi-360\\li720\\ls1{\\listtext\\pard\\plain \\u8226\\'95\\tab}item\\par"
      "\\pard\\ls1{\\*\\pn\\pnlvlcont}continued}");
  EXPECT_EQ(TextOf(lists), u"item|continued");
  EXPECT_TRUE(lists.m_arrParagraphs[0].m_bBullet);
  EXPECT_EQ(lists.m_arrParagraphs[0].m_nLeftIndentTwips, 720);
  EXPECT_FALSE(lists.m_arrParagraphs[1].m_bBullet);
}

CTextRun MakeRun(std::u16string text, CCharFormat format = {}) { return CTextRun{std::move(text), std::move(format)}; }

CRichText RichSample() {
  CRichText doc;
  CParagraph title;
  title.m_alignment = Alignment::kCenter;
  title.m_arrRuns = {MakeRun(u"Title {with} \\braces\\", {"Arial", 36, 0, true, true})};
  CParagraph body;
  body.m_alignment = Alignment::kJustify;
  body.m_nLeftIndentTwips = 360;
  body.m_nFirstIndentTwips = 720;
  body.m_arrRuns = {MakeRun(u"Plain\ttab, "), MakeRun(u"red bold", {"Times New Roman", 24, 0xFF0000, false, true}),
                    MakeRun(u" green italic under", {"Times New Roman", 20, 0x00FF00, false, false, true, true}),
                    MakeRun(u"\u2028caf\u00E9 na\u00EFve \u0416 \u4E2D\u6587 \u65E5\u672C \U0001F600 \uFFFD end",
                        {"\u5B8B\u4F53", 21})};
  CParagraph bullet1;
  bullet1.m_bBullet = true;
  bullet1.m_nLeftIndentTwips = 720;
  bullet1.m_nFirstIndentTwips = -360;
  bullet1.m_arrRuns = {MakeRun(u"first item", {"Semi;colon", 24, 0x0000FF, false})};
  CParagraph bullet2 = bullet1;
  bullet2.m_arrRuns = {MakeRun(u"second item")};
  CParagraph right;
  right.m_alignment = Alignment::kRight;
  right.m_arrRuns = {MakeRun(u"  spaced  ", {"Arial", 24, 0, true, false, false, true})};
  doc.m_arrParagraphs = {title, body, CParagraph(), bullet1, bullet2, right, CParagraph()};
  return doc;
}

TEST(RtfWriter, WhatItWritesReadsBackTheSame) {
  const CRichText doc = RichSample();
  for (int cp : {1252, 1251, 932}) {
    const std::string rtf = WriteRtf(doc, cp);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg" + std::to_string(cp)));
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    auto back = ReadRtf(rtf, 437);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, doc) << rtf;
  }
  const std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos);  // U+1F600 as two signed units
  EXPECT_NE(rtf.find("\\u-3?"), std::string::npos);
  EXPECT_NE(rtf.find("{\\pntext\\f0 "), std::string::npos);
}

TEST(RtfWriter, SmallDocumentsKeepTheirShape) {
  CParagraph centred;
  centred.m_alignment = Alignment::kCenter;
  for (const CRichText& doc : {CRichText{{centred}}, CRichText{{CParagraph(), CParagraph()}},
                               CRichText{{CParagraph{{MakeRun(u"x")}}, centred}}}) {
    auto back = ReadRtf(WriteRtf(doc));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, doc);
  }
  EXPECT_EQ(ReadRtf(WriteRtf(CRichText()))->m_arrParagraphs.size(), 1u);
}

}  // namespace
}  // namespace tessary

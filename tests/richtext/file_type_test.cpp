#include "richtext/file_type.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>

#include "test_texts.h"

namespace tessary {
namespace {

class FileTypeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/tessary-type-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    m_dir = dir;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string Write(const std::string& name, std::string_view bytes) {
    const std::string path = m_dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string m_dir;
};

TEST_F(FileTypeFiles, EmptyFilesAreTypedByTheirLastFourCharacters) {
  EXPECT_EQ(FileTypeOfPath(Write("a.doc", "")), kTypeWord6);
  EXPECT_EQ(FileTypeOfPath(Write("B.DOC", "")), kTypeWord6);
  EXPECT_EQ(FileTypeOfPath(Write("c.Rtf", "")), kTypeRtf);
  EXPECT_EQ(FileTypeOfPath(Write("d.txt", "")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(Write("noext", "")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(Write("rtf", "")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(Write("e.rtf.bak", "")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(Write("f.docx", "")), kTypeText);
}

TEST_F(FileTypeFiles, SignaturesDecideOverTheName) {
  EXPECT_EQ(FileTypeOfPath(Write("x.doc", "{\\rtf1 }")), kTypeRtf);
  EXPECT_EQ(FileTypeOfPath(Write("x.txt", std::string_view("\xDB\xA5\x2D\x00\x00\x00", 6))), kTypeWord2);
  EXPECT_EQ(FileTypeOfPath(Write("x.rtf", "MZ\x90")), kTypeExecutable);
  EXPECT_EQ(FileTypeOfPath(Write("w1.wri", "\x31\xBE\x00")), kTypeWrite);
  EXPECT_EQ(FileTypeOfPath(Write("w2.wri", "\x32\xBE\x00")), kTypeWrite);
  EXPECT_EQ(FileTypeOfPath(Write("x.rtf", "Plain words")), kTypeText);
  // Shorter than a signature: text.
  EXPECT_EQ(FileTypeOfPath(Write("short.doc", "\xDB\xA5")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(Write("short.rtf", "{\\rt")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(m_dir + "/missing.txt"), -1);
  EXPECT_EQ(FileTypeOfPath(m_dir), -1);
}

TEST(FileTypeSamples, OfficeDocumentsAreRecognisedOrNamed) {
  EXPECT_EQ(FileTypeOfPath(test::DataPath("sample.rtf")), kTypeRtf);
  EXPECT_EQ(FileTypeOfPath(test::DataPath("sample.doc")), kTypeWord6);
  EXPECT_EQ(FileTypeOfPath(test::DataPath("sample.html")), kTypeText);
  // Zip documents are text to the type test; the editor refuses them by their name.
  EXPECT_EQ(FileTypeOfPath(test::DataPath("sample.docx")), kTypeText);
  EXPECT_EQ(FileTypeOfPath(test::DataPath("sample.odt")), kTypeText);
  auto head = [](const char* name) { return test::ReadDataFile(name).substr(0, kForeignHeadBytes); };
  EXPECT_EQ(ForeignDocumentFormat(head("sample.docx")), "Office Open XML document");
  EXPECT_EQ(ForeignDocumentFormat(head("sample.odt")), "OpenDocument text");
  EXPECT_EQ(ForeignDocumentFormat(head("sample.rtf")), "");
  EXPECT_EQ(ForeignDocumentFormat(head("sample.doc")), "");
  // A zip of anything else stays unnamed.
  EXPECT_EQ(ForeignDocumentFormat(std::string("PK\x03\x04", 4) + "notes/readme.txt"), "");
  EXPECT_EQ(ForeignDocumentFormat("[Content_Types].xml"), "");
}

TEST(FileTypeKinds, OnlyRtfAndTextCanBeReadWithoutConverters) {
  for (int type = kTypeWord2; type <= kTypeEmbedded; ++type) {
    const CDocumentKind& kind = DocumentKind(type);
    SCOPED_TRACE(kind.m_pszDescription);
    EXPECT_EQ(kind.m_type, type);
    const bool bReadWrite = type == kTypeRtf || type == kTypeText || type == kTypeTextDos;
    EXPECT_EQ(kind.m_bRead, bReadWrite || type == kTypeAll);
    EXPECT_EQ(kind.m_bWrite, bReadWrite);
    EXPECT_EQ(kind.m_bDuplicate, type == kTypeWord6Converted);
  }
  EXPECT_STREQ(DocumentKind(kTypeExecutable).m_pszDescription, "Executable");
  EXPECT_FALSE(DocumentKind(10).m_bRead);
  EXPECT_FALSE(DocumentKind(-1).m_bRead);
}

}  // namespace
}  // namespace tessary

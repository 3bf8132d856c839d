// The INI layer against the profile-string semantics the settings and
// language files rely on.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ini_file.h"

using namespace pst;

TEST(IniFile, ReadsAFileWrittenByAnotherProgram)
{
    const auto doc = IniDocument::parse("\xEF\xBB\xBF; settings\r\n"
                                        "orphan=before any section\r\n"
                                        "\r\n"
                                        "[MainDefault]\r\n"
                                        "  ComName = COM3  \r\n"
                                        "TranMode=2\r\n"
                                        "; a comment=not a key\r\n"
                                        "Quoted=\"  padded  \"\r\n"
                                        "Empty=\r\n"
                                        "Dup=first\r\n"
                                        "Dup=second\r\n"
                                        "[Other]\r\n"
                                        "ComName=elsewhere\r\n");
    EXPECT_EQ(doc.readString("maindefault", "COMNAME", "x"), "COM3");
    EXPECT_EQ(doc.readInteger("MainDefault", "TranMode", 0), 2);
    EXPECT_EQ(doc.readString("MainDefault", "Quoted", ""), "  padded  ");
    EXPECT_EQ(doc.readString("MainDefault", "Empty", "default"), "");
    EXPECT_EQ(doc.readString("MainDefault", "Dup", ""), "first");
    EXPECT_EQ(doc.readString("MainDefault", "; a comment", "none"), "none");
    EXPECT_EQ(doc.readString("MainDefault", "orphan", "none"), "none");
    EXPECT_EQ(doc.readString("Other", "ComName", ""), "elsewhere");
    EXPECT_EQ(doc.readString("Missing", "ComName", "dflt"), "dflt");
    EXPECT_EQ(doc.keys("MAINDEFAULT"), (std::vector<std::string>{"ComName", "TranMode", "Quoted", "Empty", "Dup"}));
    EXPECT_TRUE(doc.keys("Missing").empty());
}

TEST(IniFile, IntegersFallBackToTheDefaultOnBadText)
{
    const auto doc = IniDocument::parse("[S]\nA=12\nB=abc\nC=\nD=$10\n");
    EXPECT_EQ(doc.readInteger("S", "A", 7), 12);
    EXPECT_EQ(doc.readInteger("S", "B", 7), 7);
    EXPECT_EQ(doc.readInteger("S", "C", 7), 7);
    EXPECT_EQ(doc.readInteger("S", "D", 7), 16);
    EXPECT_EQ(doc.readInteger("S", "Nope", 7), 7);
}

TEST(IniFile, WritingAKeyKeepsEveryOtherLine)
{
    const std::string original = "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n";
    auto doc = IniDocument::parse(original);
    doc.writeString("a", "X", "10");  // replaces, matching without case
    doc.writeString("A", "z", "3");   // added at the end of its section
    doc.writeString("C", "w", "4");   // new section at the end
    doc.writeString("B", "v", "two\r\nlines");
    EXPECT_EQ(doc.text(),
              "; keep me\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\nv=two  lines\r\n[C]\r\nw=4\r\n");

    auto unix = IniDocument::parse("[A]\nx=1\n");
    unix.writeString("A", "y", "2");
    EXPECT_EQ(unix.text(), "[A]\nx=1\ny=2\n");

    IniDocument empty;
    empty.writeInteger("ParaDefault", "BaudRate", 9600);
    EXPECT_EQ(empty.text(), "[ParaDefault]\r\nBaudRate=9600\r\n");
}

TEST(IniFile, MalformedContentNeverFails)
{
    std::string junk;
    for (int i = 0; i < 5000; ++i)
        junk.push_back(static_cast<char>((i * 37) % 256));
    junk += "\n[S\n[]\n=novalue\n" + std::string(200000, 'k') + "=v\n[S]\nk=ok";
    auto doc = IniDocument::parse(junk);
    EXPECT_EQ(doc.readString("S", "k", ""), "ok");
    EXPECT_EQ(doc.readString("", "", "d"), "novalue");  // "[]" is a section like any other
    doc.writeString("S", "k", "new");
    EXPECT_EQ(IniDocument::parse(doc.text()).readString("S", "k", ""), "new");
}

TEST(IniFile, SaveIsAtomicAndAMissingFileReadsAsEmpty)
{
    const auto folder = std::filesystem::temp_directory_path() / ("pst-ini-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = (folder / "sysconfig.ini").string();

    EXPECT_EQ(IniDocument::load(path).readString("MainDefault", "ComName", "COM1"), "COM1");
    IniDocument doc;
    doc.writeString("MainDefault", "ComName", "COM4");
    ASSERT_EQ(doc.saveTo(path), "");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(IniDocument::load(path).readString("MainDefault", "ComName", ""), "COM4");

    // A failed save leaves the old file as it was: a name so long that no
    // temporary name fits beside it.
    const auto longPath = (folder / std::string(250, 's')).string();
    std::filesystem::copy_file(path, longPath);
    doc.writeString("MainDefault", "ComName", "COM5");
    EXPECT_NE(doc.saveTo(longPath), "");
    EXPECT_EQ(IniDocument::load(longPath).readString("MainDefault", "ComName", ""), "COM4");
    std::filesystem::remove_all(folder);
}

TEST(IniFile, ALargeFileReadsAtBothEndsAndKeepsReadingAfterWrites)
{
    // About 2 MB, as a profile grown by a script might be.
    std::string text = "[ParaDefault]\r\nFirst=1\r\n";
    constexpr int kKeys = 100000;
    for (int i = 0; i < kKeys; ++i)
        text += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    text += "first=shadowed\r\nLast=2\r\n[Other]\r\nLast=3\r\n[paradefault]\r\nLast=ignored\r\n";
    auto doc = IniDocument::parse(text);
    EXPECT_EQ(doc.readString("ParaDefault", "FIRST", ""), "1");
    EXPECT_EQ(doc.readString("ParaDefault", "Key99999", ""), "value 99999");
    EXPECT_EQ(doc.readString("ParaDefault", "Last", ""), "2");
    EXPECT_EQ(doc.readString("Other", "Last", ""), "3");
    EXPECT_EQ(doc.keys("ParaDefault").size(), static_cast<std::size_t>(kKeys + 2));

    // A key added inside the first section moves every line after it.
    doc.writeString("ParaDefault", "Added", "a");
    doc.writeString("Other", "Last", "4");
    doc.writeString("New", "[Odd]", "5");
    EXPECT_EQ(doc.readString("ParaDefault", "Added", ""), "a");
    EXPECT_EQ(doc.readString("ParaDefault", "Last", ""), "2");
    EXPECT_EQ(doc.readString("Other", "Last", ""), "4");
    // Written as "[Odd]=5", which reads back as a section, as it always did.
    EXPECT_EQ(doc.readString("New", "[Odd]", "none"), "none");
    EXPECT_EQ(IniDocument::parse(doc.text()).text(), doc.text());
    const std::string saved = doc.text();
    EXPECT_NE(saved.find("Last=2\r\nAdded=a\r\n[Other]\r\nLast=4\r\n"), std::string::npos);
}

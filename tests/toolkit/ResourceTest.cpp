#include "ToolkitTestSupport.h"

#include "toolkit/XmlSource.h"

namespace {

using namespace toolkittest;

TEST(ResourceNames, SplitAtTheFirstColon)
{
    const auto name = parseResourceName(L"LAYOUT:a:b");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->type, L"LAYOUT");
    EXPECT_EQ(name->name, L"a:b");
    for (const wchar_t* bad : {L"LAYOUT", L":name", L"type:", L""}) {
        EXPECT_FALSE(parseResourceName(bad).has_value());
    }
}

class IndexFile : public testing::Test {
protected:
    std::shared_ptr<FileResourceProvider> load(const QByteArray& index)
    {
        package.write(QStringLiteral("uires.idx"), index);
        package.write(QStringLiteral("a.xml"), "<a/>");
        package.write(QStringLiteral("sub/b.xml"), "<b/>");
        auto provider = std::make_shared<FileResourceProvider>();
        EXPECT_TRUE(provider->init(dir.path()));
        return provider;
    }
    QTemporaryDir dir;
    struct Writer {
        QTemporaryDir* dir;
        void write(const QString& path, const QByteArray& content)
        {
            const QString full = dir->path() + QLatin1Char('/') + path;
            QDir().mkpath(QFileInfo(full).path());
            QFile file(full);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
    } package{&dir};
};

TEST_F(IndexFile, NamesAndTypesIgnoreCase)
{
    const auto p = load("# comment\n\nLAYOUT:Main = a.xml\n  values:string=sub/b.xml  \n");
    EXPECT_TRUE(p->errors().empty());
    EXPECT_TRUE(p->hasResource(L"layout", L"main"));
    EXPECT_TRUE(p->hasResource(L"Layout", L"MAIN"));
    EXPECT_EQ(p->readResource(L"VALUES", L"String"), QByteArray("<b/>"));
    EXPECT_FALSE(p->hasResource(L"layout", L"mai"));
    EXPECT_EQ(p->namesOfType(L"layout"), std::vector<std::wstring>{L"Main"});
}

struct BadLine {
    const char* label;
    const char* line;
};

class BadIndexLines : public IndexFile, public testing::WithParamInterface<BadLine> {};

TEST_P(BadIndexLines, AreReportedWithTheirLineAndSkipped)
{
    const QByteArray index = QByteArray("LAYOUT:good = a.xml\n# note\n") + GetParam().line + "\n";
    const auto p = load(index);
    ASSERT_EQ(p->errors().size(), 1u);
    EXPECT_TRUE(p->errors()[0].contains(QStringLiteral("uires.idx:3:"))) << p->errors()[0].toStdString();
    EXPECT_TRUE(p->hasResource(L"LAYOUT", L"good")) << "the good line still counts";
}

INSTANTIATE_TEST_SUITE_P(Lines, BadIndexLines,
                         testing::Values(BadLine{"NoEquals", "LAYOUT:x a.xml"}, BadLine{"NoType", "x = a.xml"},
                                         BadLine{"EmptyName", "LAYOUT: = a.xml"},
                                         BadLine{"Duplicate", "layout:GOOD = sub/b.xml"},
                                         BadLine{"AbsolutePath", "LAYOUT:x = /etc/passwd"},
                                         BadLine{"EscapingPath", "LAYOUT:x = ../outside.xml"},
                                         BadLine{"HiddenEscape", "LAYOUT:x = sub/../../outside.xml"},
                                         BadLine{"EmptyPath", "LAYOUT:x ="}),
                         [](const testing::TestParamInfo<BadLine>& info) { return std::string(info.param.label); });

TEST(IndexFiles, MissingIndexFailsInit)
{
    QTemporaryDir empty;
    FileResourceProvider provider;
    EXPECT_FALSE(provider.init(empty.path()));
    EXPECT_FALSE(provider.hasResource(L"LAYOUT", L"x"));
}

TEST(IndexFiles, ListedButMissingFileReadsAsNone)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:gone"), QStringLiteral("gone.xml"), "<host/>");
    const QString dir = package.commit();
    ASSERT_TRUE(QFile::remove(dir + QStringLiteral("/gone.xml")));
    FileResourceProvider provider;
    ASSERT_TRUE(provider.init(dir));
    EXPECT_TRUE(provider.hasResource(L"LAYOUT", L"gone"));
    EXPECT_FALSE(provider.readResource(L"LAYOUT", L"gone").has_value());
}

TEST_F(ToolkitApp, PackagesComeBeforeTheSystemResources)
{
    TempPackage first;
    first.add(QStringLiteral("LAYOUT:SYS_XML_MSGBOX"), QStringLiteral("box.xml"), "<host/>");
    addPackage(first.commit());
    TempPackage second;
    second.add(QStringLiteral("LAYOUT:SYS_XML_MSGBOX"), QStringLiteral("box.xml"), "<second/>");
    second.add(QStringLiteral("LAYOUT:only_second"), QStringLiteral("o.xml"), "<o/>");
    addPackage(second.commit());
    EXPECT_EQ(app->readResource(L"layout:sys_xml_msgbox"), QByteArray("<host/>"));
    EXPECT_EQ(app->readResource(L"LAYOUT:only_second"), QByteArray("<o/>"));
    EXPECT_TRUE(app->hasResource(L"SMENU:SYS_EDIT_MENU")) << "built in";
    EXPECT_FALSE(app->hasResource(L"LAYOUT:absent"));
    EXPECT_FALSE(app->readResource(L"no colon").has_value());
}

TEST_F(ToolkitApp, XmlErrorsTellFileAndLine)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:broken"), QStringLiteral("broken.xml"), "<host>\n  <text>\n</host>\n");
    addPackage(package.commit());
    XmlSource source;
    EXPECT_FALSE(app->loadXml(L"LAYOUT:broken", source));
    EXPECT_TRUE(source.error().contains(QStringLiteral("broken.xml:3:"))) << source.error().toStdString();
}

TEST_F(ToolkitApp, IconsLoadFromTheirType)
{
    addProjectPackage();
    for (const wchar_t* name : {L"ICON_LOGO", L"ICON:ICON_LOGO", L"icon:icon_logo"}) {
        const QIcon icon = app->loadIcon(name);
        ASSERT_FALSE(icon.isNull());
        const QImage image = icon.pixmap(16, 16).toImage();
        EXPECT_EQ(image.size(), QSize(16, 16));
        EXPECT_GT(qAlpha(image.pixel(8, 8)), 0);
    }
    EXPECT_TRUE(app->loadIcon(L"ICON_MISSING").isNull());
}

}  // namespace

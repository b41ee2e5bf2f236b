#include "command_line.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace velmora {

namespace {

bool ChineseMessages() {
    const QStringList languages = QLocale::system().uiLanguages();
    return !languages.isEmpty() && languages.first().startsWith(QStringLiteral("zh"));
}

QString Say(const char* english, const char* chinese) {
    return QString::fromUtf8(ChineseMessages() ? chinese : english);
}

// The parser's own words ("Usage: %1", "Options:" …) in Chinese; Qt's
// translations of them are not installed with the program.
class ChineseParserWords : public QTranslator {
  public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        struct Words {
            const char* english;
            const char* chinese;
        };
        static constexpr Words kWords[] = {
            {"Usage: %1", "用法：%1"},
            {"[options]", "[选项]"},
            {"Options:", "选项："},
            {"Arguments:", "参数："},
            {"Displays help on commandline options.", "显示本帮助。"},
            {"Displays help including Qt specific options.", "显示帮助，包括 Qt 的通用选项。"},
            {"Displays version information.", "显示版本信息。"},
            {"Unknown option '%1'.", "未知选项“%1”。"},
            {"Unknown options: %1.", "未知选项：%1。"},
            {"Missing value after '%1'.", "“%1”后缺少值。"},
            {"Unexpected value after '%1'.", "“%1”后不应有值。"},
        };
        if (qstrcmp(context, "QCommandLineParser") != 0) return {};
        for (const Words& words : kWords) {
            if (qstrcmp(sourceText, words.english) == 0) return QString::fromUtf8(words.chinese);
        }
        return {};
    }
};

// Installs the Chinese words for as long as it lives, where they are wanted.
class ParserLanguage {
  public:
    ParserLanguage() {
        if (ChineseMessages()) QCoreApplication::installTranslator(&words_);
    }
    ~ParserLanguage() { QCoreApplication::removeTranslator(&words_); }
    ParserLanguage(const ParserLanguage&) = delete;
    ParserLanguage& operator=(const ParserLanguage&) = delete;

  private:
    ChineseParserWords words_;
};

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        Say("Numbers the piles picked in a drawing, writes a label beside each and\n"
            "exports their coordinate table. The drawing window (a stand-in for AutoCAD)\n"
            "shows FILE.dxf, else the sample drawing; a stand-in for Excel writes the table.",
            "为图纸中选取的桩编号，在桩旁写上编号，并导出桩坐标表。图形窗口（模拟的 AutoCAD）\n"
            "打开 FILE.dxf，未给出时打开示例图纸；坐标表由模拟的 Excel 写出。"));
    parser.addPositionalArgument(
        QStringLiteral("FILE.dxf"),
        Say("ASCII DXF drawing (R12 to 2018) to open.", "要打开的 ASCII DXF 图纸（R12 至 2018）。"),
        QStringLiteral("[FILE.dxf]"));
}

[[noreturn]] void Refuse(const QString& message) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
    std::exit(EXIT_FAILURE);
}

}  // namespace

void AnswerHelpOrVersion(const QCoreApplication& application) {
    const ParserLanguage language;
    QCommandLineParser parser;
    Describe(parser);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options are still on the command line here: what the parser
    // does not know is for ReadDrawingArgument to judge.
    parser.parse(application.arguments());
    if (parser.isSet(help)) parser.showHelp();
    if (parser.isSet(version)) parser.showVersion();
}

QString ReadDrawingArgument(const QApplication& application) {
    const ParserLanguage language;
    QCommandLineParser parser;
    Describe(parser);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(application);
    const QStringList drawings = parser.positionalArguments();
    if (drawings.size() > 1) {
        Refuse(Say("one drawing at a time; %1 given", "一次只能打开一个图纸，给出了 %1 个")
                   .arg(drawings.size()));
    }
    return drawings.isEmpty() ? QString() : drawings.first();
}

}  // namespace velmora

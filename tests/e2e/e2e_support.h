#pragma once
// The whole program in one test process: the window made as the program makes
// it, on COM1, shown on the offscreen platform and clicked with the mouse; and
// the answers read back from what the terminal pane shows.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class TForm1;
class TLineSeries;

inline const std::string kRequest = "\x7B\x46\x30\x30\x52\x44\x44\x5B\x0D";

// Form1 built by the program's own start-up code, with COM1 pointing at `link`.
// Destroyed as the program's end destroys it.
class ProgramWindow {
public:
    explicit ProgramWindow(const std::string& link);
    ~ProgramWindow();
    // A real left click in the middle of the connect toggle.
    void ClickConnect();
};

// A response frame as the pane shows it: the text from the last brace of a
// finished line, with the two chart fields read as the frame parser reads them.
struct PaneAnswer {
    std::string frame;
    std::optional<float> humidity;     // offsets 12..17
    std::optional<float> temperature;  // offsets 29..34
};
std::vector<PaneAnswer> AnswersInPane(const std::string& paneText);

// Every line of the pane as text, the last one included even without a break.
std::vector<std::string> PaneLines(const std::string& paneText);

int CountOf(const std::string& haystack, const std::string& needle);
// Requests in a simulator --log, and whether nothing else was logged.
int LoggedRequests(const std::string& logPath, bool* onlyRequests = nullptr);

std::vector<double> YValues(const TLineSeries& series);
std::vector<std::string> Labels(const TLineSeries& series);
// Time-of-day labels the charts may have given points added within [from, to].
std::vector<std::string> LabelsBetween(std::time_t from, std::time_t to);

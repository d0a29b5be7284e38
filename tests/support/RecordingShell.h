#pragma once
// A DesktopShell that starts nothing: installed for its lifetime, it records what it is
// asked (with the contents of the file handed to FindExecutable at that moment) and answers
// as told.
#include "desktop/DesktopHandOff.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quillon::test {

class RecordingShell : public DesktopShell {
public:
    RecordingShell() { SetDesktopShell(this); }
    ~RecordingShell() override { SetDesktopShell(nullptr); }

    std::string browser;       // FindExecutable's answer
    bool startSucceeds = true; // StartProgram's answer
    bool fails = false;        // every call throws instead

    std::vector<std::string> filesAsked, contentsSeen, documents;
    std::vector<std::pair<std::string, std::string>> starts;

    std::string FindExecutable(const std::string& filePath) override {
        filesAsked.push_back(filePath);
        std::ifstream in(filePath, std::ios::binary);
        contentsSeen.emplace_back(std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>());
        return Answer(browser);
    }
    bool StartProgram(const std::string& program, const std::string& argument) override {
        starts.emplace_back(program, argument);
        return Answer(startSucceeds);
    }
    void OpenDocument(const std::string& filePath) override {
        documents.push_back(filePath);
        Answer(0);
    }

private:
    template <typename T> T Answer(T value) const {
        if (fails) {
            throw std::runtime_error("desktop gone");
        }
        return value;
    }
};

} // namespace quillon::test

#pragma once

#include <string>

namespace tavrelo {

// What a retrieval tells its caller: the desktop shows message boxes, the progress window and
// pumps messages; the CLI writes to stderr. All texts are Windows-1251.
class RetrievalObserver {
  public:
    virtual ~RetrievalObserver() = default;
    // A modal message to the operator (a failed check, the end after two failed exchanges).
    virtual void ShowMessage(const std::string& text) = 0;
    // The retrieval by numbers begins: show the progress window.
    virtual void RetrievalStarted() = 0;
    // Before each document: repaint the progress window and pump pending messages.
    virtual void DocumentStarting(int number) = 0;
    // After each document: the progress text ("33.33%     2") for the progress window's label.
    virtual void ProgressChanged(const std::string& text) = 0;
};

}  // namespace tavrelo

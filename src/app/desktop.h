#pragma once

#include <memory>

#include "app/about_window.h"
#include "app/app_context.h"
#include "app/main_window.h"
#include "app/wait_window.h"
#include "link/windows/socket_holder.h"
#include "retrieval/windows/progress_window.h"
#include "retrieval/windows/request_window.h"

namespace tavrelo {

// All windows of the program, created in the order their constructors rely on: the main window
// first (the About window copies its version text), then About, request, socket holder, Wait
// and progress. None is shown here; start-up shows the main window.
class Desktop {
  public:
    // Without a socket of its own, the program talks over a POSIX TCP socket.
    explicit Desktop(UiServices& ui, DesktopSettings settings = {},
                     std::unique_ptr<StreamSocket> socket = nullptr);
    ~Desktop();

    AppContext& context() { return context_; }
    TForm3& Form3() { return *form3_; }
    TForm54& Form54() { return *form54_; }
    TForm53& Form53() { return *form53_; }
    TForm1& Form1() { return *form1_; }
    TForm5& Form5() { return *form5_; }
    TForm4& Form4() { return *form4_; }

  private:
    AppContext context_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm54> form54_;
    std::unique_ptr<TForm53> form53_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm4> form4_;
};

}  // namespace tavrelo

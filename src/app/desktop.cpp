#include "app/desktop.h"

namespace tavrelo {

Desktop::Desktop(UiServices& ui, DesktopTimings timings) : context_(ui) {
    context_.timings = timings;
    form3_ = std::make_unique<TForm3>(context_);
    context_.forms.Form3 = form3_.get();
    form54_ = std::make_unique<TForm54>(context_, form3_.get());
    context_.forms.Form54 = form54_.get();
    form53_ = std::make_unique<TForm53>(context_);
    context_.forms.Form53 = form53_.get();
    form1_ = std::make_unique<TForm1>(context_);
    context_.forms.Form1 = form1_.get();
    form5_ = std::make_unique<TForm5>(context_);
    context_.forms.Form5 = form5_.get();
    form4_ = std::make_unique<TForm4>(context_);
    context_.forms.Form4 = form4_.get();
}

// Destroyed in the reverse order of creation; the About window is a child of the main window
// and goes first.
Desktop::~Desktop() {
    form4_.reset();
    form5_.reset();
    form1_.reset();
    form53_.reset();
    form54_.reset();
    form3_.reset();
}

}  // namespace tavrelo

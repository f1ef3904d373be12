#include "app/desktop.h"

#include "platform/net/posix_stream_socket.h"

namespace tavrelo {

Desktop::Desktop(UiServices& ui, DesktopSettings settings, std::unique_ptr<StreamSocket> socket)
    : context_(ui) {
    if (!socket) socket = std::make_unique<PosixStreamSocket>();
    context_.settings = settings;
    form3_ = std::make_unique<TForm3>(context_);
    context_.forms.Form3 = form3_.get();
    form54_ = std::make_unique<TForm54>(context_, form3_.get());
    context_.forms.Form54 = form54_.get();
    form53_ = std::make_unique<TForm53>(context_);
    context_.forms.Form53 = form53_.get();
    form1_ = std::make_unique<TForm1>(context_, std::move(socket));
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

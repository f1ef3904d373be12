#pragma once

#include <libxml/xmlerror.h>

#include <string>

namespace tavrelo {

// The libxml2 options of every parse: no network, nothing loaded from outside, entities left as
// references (their expansion checked against libxml2's limits), white space kept, and compact
// storage of short texts, since a tape of 100,000 documents makes a large tree.
int SafeParseOptions();

// Makes sure libxml2 can load no external resource in this process, whatever a document asks.
void RefuseExternalResources();

// While alive, libxml2's errors on this thread are collected here instead of being printed.
class XmlErrorCollector {
  public:
    XmlErrorCollector();
    ~XmlErrorCollector();
    XmlErrorCollector(const XmlErrorCollector&) = delete;
    XmlErrorCollector& operator=(const XmlErrorCollector&) = delete;

    bool has_error() const { return has_error_; }

    // "line N: message" of the first error, or `fallback` when libxml2 reported none.
    std::string Message(const char* fallback) const;

    // Throws ParseError with the first error (or `fallback`).
    [[noreturn]] void Throw(const char* fallback) const;

  private:
    static void OnError(void* self, xmlErrorPtr error);

    bool has_error_ = false;
    std::string message_;
    int line_ = 0;
    xmlStructuredErrorFunc previous_structured_;
    void* previous_structured_context_;
    xmlGenericErrorFunc previous_generic_;
    void* previous_generic_context_;
};

}  // namespace tavrelo

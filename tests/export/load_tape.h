#pragma once

#include <string>
#include <string_view>

#include "export/exact_numbers.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "platform/xml/xml_document.h"

namespace tavrelo::testing {

// A response walked into the model, with its number texts, as the commands load one.
struct WalkedTape {
    rq model;
    ExactNumbers numbers;

    explicit WalkedTape(std::string_view xml) {
        control state;
        ParseResponse(xml, model, state);
        numbers = CollectExactNumbers(XmlDocument(xml).DocumentElement());
    }
};

// A response around `documents` (CP1251 XML lines, each ending in a line feed).
inline std::string Response(const std::string& documents) {
    return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<RQ V=\"1\">\n" + documents +
           "</RQ>\n";
}

}  // namespace tavrelo::testing

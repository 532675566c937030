#pragma once
// Whether a document is well-formed XML, through expat. Only the form is
// checked: no DTD or external entity is loaded, and nothing is validated.

#include "util/bytes.h"
#include "util/error.h"

namespace xml {

class xml_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

// Throws xml_exception "Line <n>, column <m>: <expat's reason>." at the
// first place where `document` is not well-formed XML.
void checkWellFormed(ByteView document);

bool isWellFormed(ByteView document);

}  // namespace xml

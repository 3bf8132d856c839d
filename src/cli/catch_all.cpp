#include "cli/catch_all.h"

#include <exception>
#include <ostream>

#include "texts/engine_texts.h"
#include "texts/message_texts.h"

namespace pst::cli {

int runCatchingAll(std::ostream& err, const std::function<int()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        err << MessageWithText("sUnexpectedErrorMsg", EngineTextInLanguage(e.what())) << '\n';
    } catch (...) {
        err << MessageWithText("sUnexpectedErrorMsg", "?") << '\n';
    }
    return 1;
}

}  // namespace pst::cli

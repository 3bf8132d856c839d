#include "cli/catch_all.h"

#include <exception>
#include <ostream>

#include "texts/message_texts.h"

namespace pst::cli {

int runCatchingAll(std::ostream& err, const std::function<int()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        err << MessageWithText("sUnexpectedErrorMsg", e.what()) << '\n';
    } catch (...) {
        err << MessageWithText("sUnexpectedErrorMsg", "?") << '\n';
    }
    return 1;
}

}  // namespace pst::cli

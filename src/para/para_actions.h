#pragma once
// What a page of the parameter window asks of the window: start the
// request its button works out, or show a message.

#include <QAbstractButton>
#include <functional>
#include <string>

#include "requests/download_requests.h"
#include "requests/raw_requests.h"
#include "requests/settings_requests.h"

namespace pst::para {

// The pages build their requests with the builders the command line uses.
using namespace pst::requests;

class ParaActions {
public:
    virtual ~ParaActions() = default;

    // Works the request out with `build` and starts it. A refusal (a
    // conversion or input failure) is shown to the user and starts nothing;
    // so does a worker still busy with an earlier operation.
    virtual void send(const std::function<MaybeRequest()>& build) = 0;

    virtual void showMessage(const std::string& text) = 0;
    // Asks a yes-or-no question; true for yes.
    virtual bool confirm(const std::string& text) = 0;

    // Shows a field's refusal that stopped a click on `pressedButton` (when
    // there was one), then makes that click as the user meant it. Should
    // the click be refused as well, that is not shown: the user has just
    // been told what stops it.
    virtual void refuseThenClick(const std::string& text, QAbstractButton* pressedButton) = 0;

    // Shows a text in the window's second status panel.
    virtual void showSecondStatus(const std::string& text) = 0;
};

}  // namespace pst::para

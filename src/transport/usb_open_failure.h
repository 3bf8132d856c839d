#pragma once
// Why OpenDevice found nothing it could open, in words a technician can act
// on. The fixed message stays "Error open USB DEVICE "; this is its detail.

#include <string>
#include <vector>

namespace pst {

// Where the rule that gives the logged-in user the printer's device node is
// shipped, and where it goes.
inline constexpr const char* kUsbAccessRule = "60-pennafor-printer.rules";

class UsbOpenFailure {
public:
    explicit UsbOpenFailure(std::string pid) : pid_(std::move(pid)) { }

    // A present device whose path contains the product id.
    void matched(const std::string& identifier) { matched_.push_back(identifier); }
    // One of its nodes that would not open, with the system's error number.
    void refused(const std::string& node, int error) { refusals_.push_back({node, error}); }

    std::string detail() const;

private:
    struct Refusal {
        std::string node;
        int error;
    };

    std::string pid_;
    std::vector<std::string> matched_;
    std::vector<Refusal> refusals_;
};

}  // namespace pst

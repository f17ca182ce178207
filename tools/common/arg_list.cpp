#include "common/arg_list.h"

#include <algorithm>
#include <stdexcept>

namespace zel5::tools {
namespace {

bool LooksLikeOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

}  // namespace

ArgList SplitArgs(const std::vector<std::string>& args, const std::set<std::string>& known) {
  ArgList list;
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    list.help = true;
    return list;
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!LooksLikeOption(arg)) {
      list.operands.push_back(arg);
      continue;
    }
    if (known.count(arg) == 0) {
      throw std::runtime_error("unknown option " + arg);
    }
    // A value that looks like the next option means this one's was forgotten;
    // one dash is a negative number.
    if (i + 1 == args.size() || args[i + 1].starts_with("--")) {
      throw std::runtime_error(arg + " needs a value");
    }
    if (!list.options.emplace(arg, args[i + 1]).second) {
      throw std::runtime_error(arg + " given twice");
    }
    ++i;
  }
  return list;
}

}  // namespace zel5::tools

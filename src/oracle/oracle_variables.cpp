// oracle_variables.cpp — see oracle_variables.h.
#include "oracle/oracle_variables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "oracle/text_util.h"

namespace oracle {
namespace {

constexpr std::size_t kLongNullBuffer = 32760;

bool IsSupportedType(int type) {
  switch (type) {
    case otSubst: case otInteger: case otFloat: case otString: case otLong: case otPLSQLString:
    case otDate: case otLongRaw: case otChar: case otObject: case otReference: case otCLOB:
    case otBLOB: case otBFILE: case otCursor:
      return true;
    default:
      return false;
  }
}

std::int64_t ToInteger(const TOracleValue& value, const std::string& name) {
  if (auto* i = std::get_if<std::int64_t>(&value)) return *i;
  if (auto* d = std::get_if<double>(&value)) return static_cast<std::int64_t>(std::llround(*d));
  if (auto* s = std::get_if<std::string>(&value)) {
    try {
      std::size_t used = 0;
      const std::string trimmed = Trim(*s);
      long long v = std::stoll(trimmed, &used);
      if (used == trimmed.size()) return v;
    } catch (const std::exception&) {
    }
  }
  throw std::runtime_error("Variable " + name + " needs an integer value");
}

double ToFloat(const TOracleValue& value, const std::string& name) {
  if (auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&value)) return *d;
  if (auto* s = std::get_if<std::string>(&value)) {
    try {
      std::size_t used = 0;
      const std::string trimmed = Trim(*s);
      double v = std::stod(trimmed, &used);
      if (used == trimmed.size()) return v;
    } catch (const std::exception&) {
    }
  }
  throw std::runtime_error("Variable " + name + " needs a numeric value");
}

}  // namespace

TVariableData::TVariableData(std::string name, int type) : name_(std::move(name)), type_(type) {}

std::size_t TVariableData::DefaultBufferSize(int type) {
  switch (type) {
    case otInteger: return 4;
    case otFloat: return 8;
    case otString: case otChar: return 4001;
    case otPLSQLString: return 32513;
    case otDate: return 7;
    default: return 0;
  }
}

oci::ub2 TVariableData::ExternalType() const {
  switch (type_) {
    case otInteger: return oci::SQLT_INT;
    case otFloat: return oci::SQLT_FLT;
    case otString: case otPLSQLString: return oci::SQLT_STR;
    case otChar: return oci::SQLT_AVC;
    case otDate: return oci::SQLT_DAT;
    case otLong: return oci::SQLT_LNG;
    case otLongRaw: return oci::SQLT_LBI;
    default: return 0;
  }
}

void TVariableData::PrepareBuffer() {
  const bool isNull = IsNullOrUnassigned(value_);
  indicator_ = isNull ? -1 : 0;
  switch (type_) {
    case otInteger: {
      buffer_.assign(4, 0);
      if (isNull) break;
      const std::int64_t v = ToInteger(value_, name_);
      if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        throw std::runtime_error("Value of variable " + name_ + " is out of the integer range");
      }
      const std::int32_t v32 = static_cast<std::int32_t>(v);
      std::memcpy(buffer_.data(), &v32, 4);
      break;
    }
    case otFloat: {
      buffer_.assign(8, 0);
      if (isNull) break;
      const double v = ToFloat(value_, name_);
      std::memcpy(buffer_.data(), &v, 8);
      break;
    }
    case otString: case otChar: case otPLSQLString: {
      // A longer value gets a larger buffer rather than being cut; the
      // server reports when it is too long for its target.
      const std::string text = isNull ? std::string() : ValueToText(value_);
      buffer_.assign(std::max(DefaultBufferSize(type_), text.size() + 1), 0);
      std::memcpy(buffer_.data(), text.data(), text.size());
      break;
    }
    case otDate: {
      buffer_.assign(7, 0);
      if (isNull) break;
      if (auto* d = std::get_if<TOracleDate>(&value_)) {
        EncodeOracleDate(*d, buffer_.data());
      } else {
        throw std::runtime_error("Variable " + name_ + " needs a date value");
      }
      break;
    }
    case otLong: case otLongRaw: {
      const std::string bytes = isNull ? std::string() : ValueToText(value_);
      buffer_.assign(isNull ? kLongNullBuffer : std::max<std::size_t>(bytes.size(), 1), 0);
      std::memcpy(buffer_.data(), bytes.data(), bytes.size());
      break;
    }
    default:
      throw std::runtime_error("Unsupported variable type");
  }
}

void TVariableData::ReadBuffer() {
  if (indicator_ == -1) {
    value_ = TNull{};
    return;
  }
  switch (type_) {
    case otInteger: {
      std::int32_t v = 0;
      std::memcpy(&v, buffer_.data(), 4);
      value_ = static_cast<std::int64_t>(v);
      break;
    }
    case otFloat: {
      double v = 0;
      std::memcpy(&v, buffer_.data(), 8);
      value_ = v;
      break;
    }
    case otString: case otChar: case otPLSQLString: {
      const char* p = reinterpret_cast<const char*>(buffer_.data());
      value_ = std::string(p, strnlen(p, buffer_.size()));
      break;
    }
    case otDate:
      value_ = DecodeOracleDate(buffer_.data());
      break;
    default:
      break;  // LONG values keep what was bound
  }
}

void TVariables::Declare(const std::string& name, int type) {
  if (name.empty()) throw std::runtime_error("You cannot declare a variable with an empty name");
  if (!IsSupportedType(type)) throw std::runtime_error("Unsupported variable type");
  const std::string bare = name[0] == ':' ? name.substr(1) : name;
  if (bare.empty()) throw std::runtime_error("You cannot declare a variable with an empty name");
  auto variable = std::make_unique<TVariableData>(bare, type);
  for (auto& item : items_) {
    if (EqualsNoCase(item->Name(), bare)) {
      item = std::move(variable);
      return;
    }
  }
  items_.push_back(std::move(variable));
}

TVariableData* TVariables::Find(const std::string& name) {
  std::string wanted = name;
  if (!wanted.empty() && wanted[0] == ':') wanted.erase(0, 1);
  for (auto& item : items_) {
    if (EqualsNoCase(item->Name(), wanted)) return item.get();
  }
  return nullptr;
}

const TVariableData* TVariables::Find(const std::string& name) const {
  return const_cast<TVariables*>(this)->Find(name);
}

void TVariables::Set(const std::string& name, const TOracleValue& value) {
  TVariableData* variable = Find(name);
  if (!variable) throw std::runtime_error("Variable " + name + " not declared");
  variable->SetValue(value);
}

TOracleValue TVariables::Get(const std::string& name) const {
  const TVariableData* variable = Find(name);
  if (!variable) throw std::runtime_error("Unknown variable: " + name);
  return variable->Value();
}

bool TVariables::HasSubstitution() const {
  for (const auto& item : items_) {
    if (item->Type() == otSubst) return true;
  }
  return false;
}

}  // namespace oracle

// oracle_variables.h — the declared variables of a query.
//
// Each variable has a name, an OCI external type code and a value.  Before
// execution the value is written into the variable's bind buffer; after
// execution the buffer is read back, so out-variables of PL/SQL blocks can be
// read.  Type code 1 marks a substitution variable, whose text replaces the
// reference before parsing and which is never bound.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "oracle/oci_api.h"
#include "oracle/oracle_value.h"

namespace oracle {

// Type codes a variable can be declared with.
enum TVariableType : int {
  otSubst = 1,
  otInteger = 3,
  otFloat = 4,
  otString = 5,
  otLong = 8,
  otPLSQLString = 10,
  otDate = 12,
  otLongRaw = 24,
  otChar = 97,
  otObject = 108,
  otReference = 110,
  otCLOB = 112,
  otBLOB = 113,
  otBFILE = 114,
  otCursor = 116,
};

class TVariableData {
 public:
  TVariableData(std::string name, int type);

  const std::string& Name() const { return name_; }
  int Type() const { return type_; }
  const TOracleValue& Value() const { return value_; }
  void SetValue(const TOracleValue& value) { value_ = value; }
  oci::sb2 Indicator() const { return indicator_; }

  // Bind support: fills the buffer from the value (may grow it for long
  // text) and, after execution, reads the value back.
  void PrepareBuffer();
  void ReadBuffer();
  oci::ub2 ExternalType() const;  // the SQLT code the buffer is bound with
  void* Buffer() { return buffer_.empty() ? nullptr : buffer_.data(); }
  oci::sb4 BufferSize() const { return static_cast<oci::sb4>(buffer_.size()); }
  oci::sb2* IndicatorPtr() { return &indicator_; }
  // Default buffer size of the type (0 when it has none).
  static std::size_t DefaultBufferSize(int type);

 private:
  std::string name_;
  int type_;
  TOracleValue value_ = TNull{};
  oci::sb2 indicator_ = -1;
  std::vector<unsigned char> buffer_;
};

class TVariables {
 public:
  // Replaces a variable of the same name in place; throws on an empty name
  // or an unsupported type code.
  void Declare(const std::string& name, int type);
  void Set(const std::string& name, const TOracleValue& value);
  TOracleValue Get(const std::string& name) const;
  TVariableData* Find(const std::string& name);
  const TVariableData* Find(const std::string& name) const;
  int Count() const { return static_cast<int>(items_.size()); }
  TVariableData& At(int index) { return *items_[static_cast<std::size_t>(index)]; }
  void Clear() { items_.clear(); }
  bool HasSubstitution() const;

 private:
  std::vector<std::unique_ptr<TVariableData>> items_;  // stable addresses for bind buffers
};

}  // namespace oracle

// Registered XML schemas: their rows in the XML DB repository tables.
#include "testdb/resolver.h"

namespace quillon::testdb {

void Resolver::XmlSchemas() {}

}  // namespace quillon::testdb

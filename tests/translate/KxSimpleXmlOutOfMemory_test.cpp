// The reader when memory runs out: a document too large for what is left is refused with the
// reader's own error. Allocations of this program are limited while a test asks for it, so a
// few megabytes stand for the gigabyte attribute that exhausts a 32-bit address space.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "translate/KxSimpleXml.h"

namespace {

// Largest single allocation allowed; 0 = no limit.
std::atomic<size_t> allocationLimit{0};

void* Allocate(size_t size) {
  const size_t limit = allocationLimit.load();
  if (limit != 0 && size > limit) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

// Limits allocations for its lifetime.
class TAllocationLimit {
 public:
  explicit TAllocationLimit(size_t bytes) { allocationLimit = bytes; }
  ~TAllocationLimit() { allocationLimit = 0; }
};

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

TEST(KxSimpleXmlOutOfMemory, LargeDocumentsAreRefusedWithTheReadersOwnError) {
  const std::string big(4 << 20, 'x');
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"attribute", "<a v='" + big + "'/>"},
      {"text", "<a>" + big + "</a>"},
      {"comment", "<a><!--" + big + "--></a>"},
      {"CDATA", "<a><![CDATA[" + big + "]]></a>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream stream;
    stream.WriteBuffer(c.text.data(), static_cast<int64_t>(c.text.size()));
    TKxSimpleXML xml(nullptr);
    std::string message = "(no error)";
    {
      stream.SetPosition(0);
      TAllocationLimit limit(1 << 20);
      try {
        xml.LoadFromStream(&stream);
      } catch (const EKxSimpleXMLError& e) {
        message = e.Message();
      }
    }
    EXPECT_EQ(message, "Out of memory while reading the document");
    // With the memory there, the same document reads.
    stream.SetPosition(0);
    xml.LoadFromStream(&stream);
    EXPECT_EQ(xml.Root()->Name(), "a");
  }
}

}  // namespace

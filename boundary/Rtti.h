// The cast Visual C++'s dynamic_cast makes, over the host's own run-time type
// information: from any polymorphic subobject to the complete object (the
// complete object locator before the vtable), then through the class
// hierarchy's base class array to a base of a given name.
#pragma once

namespace boundary {

// The subobject of the complete object of object whose type descriptor is
// named name (".?AUIProductContext@setupcore@@"), or null when the object has
// no such public, unambiguous base, or carries no type information.
void* findBase(void* object, const char* name);

// The setup-core library's product context, declared struct or class.
void* findProductContext(void* object);

} // namespace boundary

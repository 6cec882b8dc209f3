// The cast Visual C++'s dynamic_cast makes, over the host's own run-time type
// information: from any polymorphic subobject to the complete object (the
// complete object locator before the vtable), then through the class
// hierarchy's base class array to a base whose decorated name matches.
#pragma once

namespace boundary {

// True for the decorated name of a class the cast looks for.
typedef bool (*TypeNameMatch)(const char* decoratedName);

// The subobject of the complete object of object whose type descriptor's
// name matches, or null when the object has no such public, unambiguous
// base (two matching bases at different places are ambiguous, even of
// different types), or carries no type information.
void* findBase(void* object, TypeNameMatch match);

// True for a class named IProductContext, declared struct or class, in any
// namespace or none: ".?AUIProductContext@@", ".?AVIProductContext@setupcore@@",
// ".?AUIProductContext@inner@outer@@".
bool isProductContextName(const char* decoratedName);

// The host's product context, found by its class name alone.
void* findProductContext(void* object);

} // namespace boundary

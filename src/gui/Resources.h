#pragma once
// The pictures live in a static library; their registration must be pulled in.
void ensureResources();

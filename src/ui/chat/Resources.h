#pragma once
// The icons are compiled into the static core library; its resources must be
// registered once before the first use.
void initQuillonResources();

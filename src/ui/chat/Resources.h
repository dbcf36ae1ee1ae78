#pragma once
// The icons are compiled into the static UI library (quillon_ui); its
// resources must be registered once before the first use.
void initQuillonResources();

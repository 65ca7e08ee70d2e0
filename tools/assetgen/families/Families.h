#pragma once

// One function per picture family. main.cpp lists them; each adds its records
// to the sink.

class AssetSink;

void addRoomPictures(AssetSink& sink);    // room backgrounds, load overlays, sun, tint
void addDuctPictures(AssetSink& sink);    // both ducts with the slab and diffusers, fan frames
void addArrowPaths(AssetSink& sink);      // the arrow-path table
void addCloseupPictures(AssetSink& sink); // the diffuser close-up's nine pictures
void addLogo(AssetSink& sink);            // the main window's logo
void addCalibrationPictures(AssetSink& sink); // both walkthrough schematics and their targets
void addIntroPictures(AssetSink& sink);    // MovieTable: the intro's background, frames, logo, building, target

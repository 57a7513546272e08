#pragma once
// The toolbar buttons for people without a mouse: Tab reaches them, Space or Return
// presses them, and assistive technology knows them as buttons named by their hints.

class TSpeedItem;

void MakeSpeedItemAccessible(TSpeedItem* item);

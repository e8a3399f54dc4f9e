// preferences

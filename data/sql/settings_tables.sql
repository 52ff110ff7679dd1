-- The typed name/value settings store, one row per name. The projects
-- database keeps the system settings here, each site database its own
-- settings and the report display rows.

CREATE TABLE tblSettingsInteger (
  Name         TEXT COLLATE NOCASE NOT NULL,
  IntegerValue INTEGER
);
CREATE UNIQUE INDEX ix_tblSettingsInteger_Name ON tblSettingsInteger (Name);

CREATE TABLE tblSettingsReal (
  Name      TEXT COLLATE NOCASE NOT NULL,
  RealValue REAL
);
CREATE UNIQUE INDEX ix_tblSettingsReal_Name ON tblSettingsReal (Name);

CREATE TABLE tblSettingsDate (
  Name      TEXT COLLATE NOCASE NOT NULL,
  DateValue DATETIME
);
CREATE UNIQUE INDEX ix_tblSettingsDate_Name ON tblSettingsDate (Name);

CREATE TABLE tblSettingsString (
  Name        TEXT COLLATE NOCASE NOT NULL,
  StringValue TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ix_tblSettingsString_Name ON tblSettingsString (Name);

-- Long texts (the log filters). The engine creates this table itself in
-- databases that lack it; new databases have it from the start.
CREATE TABLE tblSettingsMemo (
  Name        TEXT COLLATE NOCASE NOT NULL,
  StringValue TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ix_tblSettingsMemo_Name ON tblSettingsMemo (Name);

-- The batches TIENDA.db was made with, by the engine of format 1 (money and
-- decimal columns of numeric affinity), the last before format 2:
-- ESTACIONES_DATOS=<carpeta> estaciones-sql -S "(local)" -i TIENDA.sql -b
CREATE DATABASE TIENDA
GO
USE TIENDA
GO
CREATE TABLE articulos (
    codigo varchar(25) NOT NULL PRIMARY KEY,
    nombre nvarchar(50) NOT NULL,
    precio money NOT NULL DEFAULT 0,
    coste smallmoney NULL,
    peso decimal(9,3) NULL,
    stock numeric(15,0) NULL,
    alta datetime NULL)
GO
CREATE INDEX ix_articulos_precio ON articulos (precio)
GO
CREATE TABLE historial (id int IDENTITY(1,1) PRIMARY KEY, codigo varchar(25) NOT NULL, antes money NULL, despues money NULL)
GO
INSERT INTO articulos (codigo, nombre, precio, coste, peso, stock, alta) VALUES
 ('A1', N'Ñandú', 12.5, 3.25, 1.5, 10, '20240107 10:20:30'),
 ('B2', N'café', -3.25, -1, 0.001, -5, NULL),
 ('C3', N'mesa', 99999999999.9999, 214748.3647, 999999.999, 999999999999999, '20241231'),
 ('D4', N'silla', -99999999999.9999, -214748.3648, -999999.999, -999999999999999, NULL),
 ('E5', N'nada', 0, NULL, NULL, NULL, NULL)
GO
CREATE VIEW v_caros AS SELECT codigo, precio * 2 AS doble FROM articulos WHERE precio > 10
GO
CREATE TRIGGER tr_articulos_precio ON articulos AFTER UPDATE AS
INSERT INTO historial (codigo, antes, despues)
SELECT d.codigo, d.precio, i.precio FROM deleted d JOIN inserted i ON i.codigo = d.codigo
GO
